#pragma once

#include <QLabel>

// The window's title: each part of its text between tab characters is a line of its own (the
// program's name, then the connected device), so the device's model and serial number stay
// together on their line however wide the name before them is. A part wider than the label
// wraps, and the label then asks for the height of the extra line.
class TitleLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TitleLabel(QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList lines() const;
};

// A one-line label that shows the start of a text too long for it, ending in "…"; the whole
// text is then its tooltip.
class ElidingLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidingLabel(QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateTip();
    QString ownTip; // the tooltip this label put there, not one its owner set
};
