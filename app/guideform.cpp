#include "guideform.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

GuideForm::GuideForm(const QString &languageCode, QWidget *parent)
    : QDialog(parent)
    , browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("GuideForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Руководство пользователя"));
    browser->setObjectName(QStringLiteral("guideBrowser"));
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl(source(languageCode)));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(browser);
    layout->addWidget(buttons);
    resize(760, 560);
}

QString GuideForm::source(const QString &languageCode)
{
    return languageCode == QLatin1String("en") ? QStringLiteral("qrc:/guide/guide_en.html")
                                               : QStringLiteral("qrc:/guide/guide_ru.html");
}
