#include "updatedialog.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/makenamed.h"
#include "update/updatechecker.h"

namespace {

// A release younger than this is not worth mentioning.
constexpr int MinReleaseAgeDays = 15;

// Plural forms come from the translation; untranslated English still says
// "1 month", not "1 months".
QString countText(const char *many, const char *one, int n)
{
    const QString text = UpdateDialog::tr(many, nullptr, n);
    if (n == 1
        && text == QString::fromLatin1(many).replace(QLatin1String("%n"), QLatin1String("1")))
        return UpdateDialog::tr(one, nullptr, n);
    return text;
}

} // namespace

UpdateDialog::UpdateDialog(const QPixmap &icon, UpdateChecker *checker, QWidget *parent)
    : QDialog(parent)
    , m_checker(checker)
{
    buildWidgets(icon);
    fillPlaceholders();
    m_textBrowser->setHtml(releaseNotes(checker->updates()));
    m_labelError->setVisible(false);
    if (!checker->error().isEmpty()) {
        setError(checker->error());
        m_installButton->setEnabled(false);
        m_skipButton->setEnabled(false);
    }
    QMetaObject::connectSlotsByName(this);
}

void UpdateDialog::buildWidgets(const QPixmap &icon)
{
    setWindowTitle(tr("Update available!"));
    setModal(false);
    setStyleSheet(QStringLiteral("#labelError { color: red }"));
    resize(605, 438);

    auto *labelIcon = makeNamed<QLabel>("labelIcon", this);
    labelIcon->setPixmap(icon);
    labelIcon->setMinimumSize(48, 48);
    labelIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    const QString texts[4] = {
        tr("A new version of <b>%appName</b> is available!"),
        tr("%appName <b>%newVersion</b> is available - you have <b>%oldVersion</b>. Would you "
           "like to download it now?"),
        tr("Your version was released more than <b>%releasePeriod</b> ago."),
        tr("Since then, <b>%numUpdates</b> versions have been released."),
    };
    auto *text = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_headers[i] = new QLabel(texts[i], this);
        m_headers[i]->setObjectName(QStringLiteral("labelHeader%1").arg(i + 1));
        m_headers[i]->setWordWrap(true);
        text->addWidget(m_headers[i]);
    }
    auto *labelHeader5 = makeNamed<QLabel>("labelHeader5", tr("Release notes:"), this);
    text->addWidget(labelHeader5);
    m_textBrowser = makeNamed<QTextBrowser>("textBrowser", this);
    m_textBrowser->setOpenLinks(false);
    text->addWidget(m_textBrowser, 1);
    m_labelError = makeNamed<QLabel>("labelError", this);
    m_labelError->setWordWrap(true);
    text->addWidget(m_labelError);

    m_skipButton = makeNamed<QPushButton>("skipButton", tr("Skip this version"), this);
    auto *latterButton = makeNamed<QPushButton>("latterButton", tr("Remind later"), this);
    m_installButton = makeNamed<QPushButton>("installButton", tr("Install update"), this);
    m_installButton->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_skipButton);
    buttons->addStretch(1);
    buttons->addWidget(latterButton);
    buttons->addWidget(m_installButton);
    text->addLayout(buttons);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(labelIcon, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    setTabOrder(m_installButton, latterButton);
    setTabOrder(latterButton, m_skipButton);
    setTabOrder(m_skipButton, m_textBrowser);
    m_installButton->setFocus();
}

void UpdateDialog::fillPlaceholders()
{
    const QList<QVariantMap> updates = m_checker->updates();
    const QString appVersion = QCoreApplication::applicationVersion();
    QString newVersion = m_checker->latestVersion();
    QString oldVersion = appVersion;
    if (!updates.isEmpty()) {
        const QString build = updates.first().value("build").toString();
        if (!build.isEmpty() && newVersion == appVersion) {
            newVersion += QStringLiteral(" (") + build + QLatin1Char(')');
            oldVersion += QStringLiteral(" (") + UpdateChecker::RunningBuild + QLatin1Char(')');
        }
    }
    // The oldest entry with a date tells how old the running version is.
    QDate released;
    for (auto it = updates.crbegin(); it != updates.crend() && !released.isValid(); ++it)
        released = it->value("date").toDate();

    const QList<QPair<QString, QString>> values = {
        { QStringLiteral("%appName"), QCoreApplication::applicationName() },
        { QStringLiteral("%newVersion"), newVersion.toHtmlEscaped() },
        { QStringLiteral("%oldVersion"), oldVersion.toHtmlEscaped() },
        { QStringLiteral("%releasePeriod"), releasePeriod(released, QDate::currentDate()) },
        { QStringLiteral("%numUpdates"),
            updates.size() >= 2 ? QString::number(updates.size()) : QString() },
    };
    for (QLabel *label : m_headers) {
        QString text = label->text();
        bool complete = true;
        for (const auto &[placeholder, value] : values) {
            if (!text.contains(placeholder))
                continue;
            complete = complete && !value.isEmpty();
            text.replace(placeholder, value);
        }
        label->setText(text);
        label->setVisible(complete);
    }
}

QString UpdateDialog::releasePeriod(const QDate &released, const QDate &today)
{
    if (!released.isValid() || released.daysTo(today) < MinReleaseAgeDays)
        return QString();
    int years = today.year() - released.year();
    int months = today.month() - released.month();
    int days = today.day() - released.day();
    if (days < 0) {
        --months;
        days += released.daysInMonth();
    }
    if (months < 0) {
        --years;
        months += 12;
    }
    if (years >= 1)
        return countText("%n years", "%n year", years);
    if (months >= 1)
        return countText("%n months", "%n month", months);
    return countText("%n days", "%n day", days);
}

QString UpdateDialog::releaseNotes(const QList<QVariantMap> &updates)
{
    QString html;
    for (const QVariantMap &update : updates) {
        html += QStringLiteral("<b>")
            + tr("Version %1").arg(update.value("version").toString().toHtmlEscaped())
            + QStringLiteral("</b><br/>");
        const QDate date = update.value("date").toDate();
        if (date.isValid())
            html += QStringLiteral("<i>") + QLocale::system().toString(date, QLocale::ShortFormat)
                + QStringLiteral("</i><br/>");
        html += QStringLiteral("<ul>");
        const QStringList lines = update.value("changes").toString().split(QLatin1Char('\n'));
        for (QString line : lines) {
            if (line.trimmed().isEmpty())
                continue;
            line = line.trimmed();
            if (line.startsWith(QLatin1Char('-')))
                line.remove(0, 1);
            // The notes are plain text from the server, never markup.
            line = line.trimmed().toHtmlEscaped();
            if (line.contains(QLatin1String("CRITICAL")))
                line = QStringLiteral("<b>") + line + QStringLiteral("</b>");
            html += QStringLiteral("<li>") + line + QStringLiteral("</li>");
        }
        html += QStringLiteral("</ul><br/>");
    }
    return html;
}

void UpdateDialog::on_skipButton_clicked()
{
    QSettings().setValue(UpdateChecker::SkippedVersionKey, m_checker->latestVersion());
    reject();
}

void UpdateDialog::on_latterButton_clicked()
{
    reject();
}

void UpdateDialog::on_installButton_clicked()
{
    m_checker->download();
    accept();
}

void UpdateDialog::setError(const QString &text)
{
    m_labelError->setText(text);
    m_labelError->setVisible(!text.isEmpty());
}
