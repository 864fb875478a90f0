#include "welcomedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>
#include <QTimer>
#include <QUrlQuery>
#include <QVBoxLayout>

#include "app/application.h"
#include "app/settingskeys.h"
#include "app/welcomelinkbutton.h"
#include "ui/makenamed.h"

namespace {

// Texts change length with the language; let the layout settle first.
constexpr int AdjustDelayMs = 100;
constexpr int LinkIconSize = 45;

const char CommonStyle[] = R"(
QGroupBox { border-bottom-left-radius: 5px; border-bottom-right-radius: 5px;
            min-width: 250px; max-width: 250px; margin-top: 22px; }
QGroupBox > * { background: transparent; }
QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top center;
                   padding: 0px 6px; min-width: 252px; min-height: 22px;
                   border-top-left-radius: 5px; border-top-right-radius: 5px; }
QListView { background: transparent; border: none; }
#welcomeLabel { font-size: 18px; }
#versionLabel { font-size: 12px; }
)";

const char LightStyle[] = R"(
WelcomeDialog { background-image: url(:/welcome_bg.png); }
QGroupBox { background: rgba(255, 255, 255, 221); border: 1px solid #999999; }
QGroupBox::title { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eaeaeb, stop:1 #dadbdc);
                   border: 1px solid #999999; border-bottom: none; }
#versionLabel { color: #7a7a7a; }
)";

const char DarkStyle[] = R"(
WelcomeDialog { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
                stop:0 #33363b, stop:0.18 #2b2e33, stop:1 #1e2023); }
QGroupBox { background: rgba(255, 255, 255, 20); border: 1px solid #55585e; }
QGroupBox::title { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #454951, stop:1 #383b41);
                   border: 1px solid #55585e; border-bottom: none; }
#versionLabel { color: #a8a8ad; }
)";

bool paletteIsDark(const QPalette &palette)
{
    return palette.color(QPalette::WindowText).lightness()
        > palette.color(QPalette::Window).lightness();
}

WelcomeLinkButton *makeLinkButton(const QString &objectName, const QString &icon, QWidget *parent)
{
    auto *button = new WelcomeLinkButton(parent);
    button->setObjectName(objectName);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(LinkIconSize, LinkIconSize));
    return button;
}

} // namespace

WelcomeDialog::WelcomeDialog(QWidget *parent)
    : QDialog(parent)
{
    buildForm();
    applyStyleSheet();
    // The list's own focus frame fights with the selection colour.
    m_listView->setAttribute(Qt::WA_MacShowFocusRect, false);

    retranslate();
    auto *app = Application::instance();
    connect(app, &Application::recentFilesChanged, this, &WelcomeDialog::updateRecents);
    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &WelcomeDialog::openSelected);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_checkBox->setChecked(QSettings().value(SettingsKeys::ShowWelcomeScreen, true).toBool());

    updateRecents();
    initLanguageBox();
    adjustSizeLater();
    QMetaObject::connectSlotsByName(this);
}

void WelcomeDialog::buildForm()
{
    setObjectName(QStringLiteral("WelcomeDialog"));

    m_pictureLabel = new QLabel(this);
    m_pictureLabel->setPixmap(QPixmap(QStringLiteral(":/tesselo-128.png")));
    m_pictureLabel->setAlignment(Qt::AlignCenter);
    m_welcomeLabel = makeNamed<QLabel>("welcomeLabel", this);
    m_welcomeLabel->setAlignment(Qt::AlignCenter);
    m_versionLabel = makeNamed<QLabel>("versionLabel", this);
    m_versionLabel->setAlignment(Qt::AlignCenter);

    m_newButton
        = makeLinkButton(QStringLiteral("newButton"), QStringLiteral(":/docEmpty_45.png"), this);
    m_openButton
        = makeLinkButton(QStringLiteral("openButton_3"), QStringLiteral(":/docIcon_45.png"), this);
    m_siteButton
        = makeLinkButton(QStringLiteral("openButton_2"), QStringLiteral(":/quorvane_45.png"), this);

    m_languageLabel = makeNamed<QLabel>("languageLabel", this);
    m_languageComboBox = makeNamed<QComboBox>("languageComboBox", this);
    m_languageLabel->setBuddy(m_languageComboBox);

    m_recentsBox = makeNamed<QGroupBox>("recentsBox", this);
    m_listView = makeNamed<QListView>("listView", m_recentsBox);
    m_listView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_listView->setIconSize(QSize(16, 16));
    auto *recentsLayout = new QVBoxLayout(m_recentsBox);
    recentsLayout->addWidget(m_listView);

    m_checkBox = makeNamed<QCheckBox>("checkBox", this);
    m_buttonBox = makeNamed<QDialogButtonBox>(
        "buttonBox", QDialogButtonBox::Open | QDialogButtonBox::Close, this);

    auto *languageRow = new QHBoxLayout;
    languageRow->addWidget(m_languageLabel);
    languageRow->addWidget(m_languageComboBox, 1);

    auto *left = new QVBoxLayout;
    left->addWidget(m_pictureLabel);
    left->addWidget(m_welcomeLabel);
    left->addWidget(m_versionLabel);
    left->addSpacing(12);
    left->addWidget(m_newButton);
    left->addWidget(m_openButton);
    left->addWidget(m_siteButton);
    left->addStretch(1);
    left->addLayout(languageRow);

    auto *grid = new QGridLayout(this);
    grid->addLayout(left, 0, 0);
    grid->addWidget(m_recentsBox, 0, 1);
    grid->addWidget(m_checkBox, 1, 0);
    grid->addWidget(m_buttonBox, 1, 1);

    setTabOrder(m_newButton, m_openButton);
    setTabOrder(m_openButton, m_siteButton);
    setTabOrder(m_siteButton, m_listView);
    setTabOrder(m_listView, m_languageComboBox);
    setTabOrder(m_languageComboBox, m_checkBox);
    setTabOrder(m_checkBox, m_buttonBox);
}

void WelcomeDialog::retranslate()
{
    setWindowTitle(tr("Welcome!"));
    m_welcomeLabel->setText(tr("Welcome to Tesselo!"));
    m_versionLabel->setText(tr("(Version %1)").arg(QCoreApplication::applicationVersion()));
    m_newButton->setText(tr("New collage"));
    m_newButton->setDescription(tr("Create new collage project from template library"));
    m_openButton->setText(tr("Open collage"));
    m_openButton->setDescription(tr("Start editing existing collage"));
    m_siteButton->setText(tr("Go to Quorvane"));
    m_siteButton->setDescription(tr("Visit developer's website"));
    m_languageLabel->setText(tr("Language:"));
    m_recentsBox->setTitle(tr("Recents"));
    m_checkBox->setText(tr("Show this window when Tesselo launches"));
    m_pictureLabel->setAccessibleName(tr("Tesselo"));
    if (m_languageComboBox->count() > 0)
        m_languageComboBox->setItemText(0, m_languageComboBox->itemText(0)); // refilled below
}

QPushButton *WelcomeDialog::openButton() const
{
    return m_buttonBox->button(QDialogButtonBox::Open);
}

void WelcomeDialog::applyStyleSheet()
{
    const bool dark = paletteIsDark(QGuiApplication::palette());
    if (m_styled && dark == m_darkStyle)
        return;
    m_styled = true;
    m_darkStyle = dark;
    setStyleSheet(QLatin1String(CommonStyle) + QLatin1String(dark ? DarkStyle : LightStyle));
}

void WelcomeDialog::updateRecents()
{
    auto *model = new QStandardItemModel(this);
    QFileIconProvider icons;
    const QColor missingColour = palette().color(QPalette::Disabled, QPalette::Text);
    for (const QString &path : Application::instance()->recentFiles()) {
        const QFileInfo info(path);
        auto *item = new QStandardItem(icons.icon(info), info.fileName());
        item->setData(info.absoluteFilePath(), Qt::UserRole);
        item->setEditable(false);
        if (info.isFile()) {
            item->setToolTip(info.absoluteFilePath());
        } else {
            // Kept in the list like the others; opening it reports the error.
            item->setForeground(missingColour);
            item->setToolTip(tr("%1 (file not found)").arg(info.absoluteFilePath()));
        }
        model->appendRow(item);
    }
    QStandardItemModel *old = m_recentsModel;
    m_recentsModel = model;
    m_listView->setModel(model);
    if (old)
        old->deleteLater();
    connect(m_listView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &WelcomeDialog::selectionChanged);
    openButton()->setEnabled(false);
}

void WelcomeDialog::on_newButton_clicked()
{
    if (Application::instance()->createCollage())
        accept();
}

void WelcomeDialog::openFile(const QString &path)
{
    hide();
    if (Application::instance()->openFile(path))
        accept();
    else
        show();
}

void WelcomeDialog::on_checkBox_clicked(bool checked)
{
    QSettings().setValue(SettingsKeys::ShowWelcomeScreen, checked);
}

void WelcomeDialog::on_listView_activated(const QModelIndex &index)
{
    openFile(index.data(Qt::UserRole).toString());
}

void WelcomeDialog::selectionChanged(const QItemSelection &, const QItemSelection &)
{
    openButton()->setEnabled(m_listView->selectionModel()->hasSelection());
}

void WelcomeDialog::openSelected()
{
    const QModelIndexList selected = m_listView->selectionModel()->selectedIndexes();
    if (!selected.isEmpty())
        openFile(selected.first().data(Qt::UserRole).toString());
}

void WelcomeDialog::on_openButton_3_clicked()
{
    if (Application::instance()->openFile())
        accept();
}

QUrl WelcomeDialog::webSiteUrl()
{
    QUrl url(QStringLiteral("https://quorvane.example/"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("qv_product"), QStringLiteral("tesselo"));
    query.addQueryItem(QStringLiteral("qv_version"), QCoreApplication::applicationVersion());
    query.addQueryItem(QStringLiteral("qv_source"), QStringLiteral("app-welcome"));
    url.setQuery(query);
    return url;
}

void WelcomeDialog::on_openButton_2_clicked()
{
    QDesktopServices::openUrl(webSiteUrl());
}

void WelcomeDialog::initLanguageBox()
{
    auto *app = Application::instance();
    const QStringList languages = app->languageList();
    m_languageComboBox->disconnect(this);
    m_languageComboBox->clear();
    const bool choice = languages.size() >= 2;
    m_languageLabel->setVisible(choice);
    m_languageComboBox->setVisible(choice);
    if (!choice)
        return;

    QString automatic = tr("Automatic");
    const QString system = app->systemLanguage();
    if (!system.isEmpty())
        automatic += QStringLiteral(" (") + QLocale(system).nativeLanguageName() + QLatin1Char(')');
    m_languageComboBox->addItem(automatic, QString());
    for (const QString &code : languages)
        m_languageComboBox->addItem(QLocale(code).nativeLanguageName(), code);

    for (int i = 0; i < m_languageComboBox->count(); ++i) {
        if (m_languageComboBox->itemData(i).toString().compare(app->language(), Qt::CaseInsensitive)
            == 0) {
            m_languageComboBox->setCurrentIndex(i);
            break;
        }
    }
    connect(m_languageComboBox, &QComboBox::currentIndexChanged, this,
        &WelcomeDialog::onLanguageChanged);
}

void WelcomeDialog::onLanguageChanged()
{
    Application::instance()->setLanguage(m_languageComboBox->currentData().toString(), true);
}

void WelcomeDialog::changeEvent(QEvent *e)
{
    switch (e->type()) {
    case QEvent::LanguageChange:
        retranslate();
        // "Automatic" carries a translated word: rebuild the box, keeping the choice.
        initLanguageBox();
        adjustSizeLater();
        break;
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::ThemeChange:
        applyStyleSheet();
        break;
    default:
        break;
    }
    QDialog::changeEvent(e);
}

void WelcomeDialog::adjustSizeLater()
{
    QTimer::singleShot(AdjustDelayMs, this, &WelcomeDialog::_adjustSize);
}

void WelcomeDialog::_adjustSize()
{
    adjustSize();
}
