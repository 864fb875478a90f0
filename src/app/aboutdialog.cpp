#include "aboutdialog.h"
#include "ui/makenamed.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About Tesselo"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/tesselo-128.png")).pixmap(96, 96));
    icon->setAlignment(Qt::AlignTop);

    auto *text = makeNamed<QLabel>("aboutText", aboutText(), this);
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setOpenExternalLinks(true);
    text->setTextInteractionFlags(Qt::TextBrowserInteraction);
    text->setMinimumWidth(380);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *aboutQt = buttons->addButton(tr("About &Qt..."), QDialogButtonBox::HelpRole);
    connect(aboutQt, &QPushButton::clicked, qApp, &QApplication::aboutQt);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

QString AboutDialog::aboutText()
{
    return tr("<h2>%1 %2</h2>"
              "<p>A photo-collage editor: pick a look and a page, add your photos, and "
              "Tesselo lays them out as a scattered pile of prints or a tiled mosaic. "
              "Save the collage, export it as an image or print it.</p>"
              "<p>Copyright &copy; Quorvane.</p>"
              "<p><b>Libraries</b></p>"
              "<p>Qt %3 &mdash; used under the GNU Lesser General Public License "
              "version 3 (LGPLv3). The Qt sources are available from "
              "<a href=\"https://download.qt.io/\">download.qt.io</a>.</p>"
              "<p>libjpeg-turbo &mdash; used under the IJG License, the Modified "
              "(3-clause) BSD License and the zlib License. This software is based in "
              "part on the work of the Independent JPEG Group.</p>")
        .arg(QApplication::applicationName(), QApplication::applicationVersion(),
            QString::fromLatin1(qVersion()));
}
