#pragma once

#include "framelessdialog.h"

namespace Ui {
class AboutForm;
}

// Program name, version and build date, and the interface language switch.
class AboutForm : public FramelessDialog
{
    Q_OBJECT
public:
    // versionText is shown after "Версия ", e.g. "1.6.0 (Jun 28 2021)".
    AboutForm(const QString &versionText, const QString &langCode, QWidget *parent = nullptr);
    ~AboutForm() override;

signals:
    void changeLanguage(QString langCode);

protected:
    void changeEvent(QEvent *event) override;

private:
    void updateTexts();

    Ui::AboutForm *ui;
    QString version;
};
