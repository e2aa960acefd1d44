#include "about/frmAbout.h"

#include "about/KorvuIcon.h"
#include "about/KorvuVersion.h"
#include "ui/Fonts.h"
#include "ui/Look.h"
#include "ui/Placement.h"

#include <QLabel>
#include <QPushButton>

namespace {

// Labels show their text as written, in a fixed place; clicks go through them.
QLabel *textLabel(QWidget *parent, const char *name, const QString &text, const QRect &rect,
                  const QFont &font)
{
    auto *label = place(new QLabel(text, parent), name, rect.x(), rect.y(), rect.width(),
                        rect.height());
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(font);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

frmAbout::frmAbout(QWidget *owner)
    : DesignDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Korvu Bilgi"));
    setWindowIcon(korvuIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    setEscapeCloses(true);
    setFont(designFont(DesignFont::LucidaConsole, 8.25));
    setClientSize(382, 237);
    // Not centred: the client area always opens at the same place on the screen.
    setGeometry(156, 129, 382, 237);

    // The etched rule lies under the controls, as drawn lines do.
    m_lines[1] = Look::ruleLine(this, QStringLiteral("Line1(1)"), QRect(6, 163, 371, 1),
                                QPalette::Window, QColor(128, 128, 128));
    m_lines[0] = Look::ruleLine(this, QStringLiteral("Line1(0)"), QRect(7, 164, 370, 2),
                                QPalette::Window, Qt::white);

    // Created in the designed tab order, which is also the focus chain.
    const QFont msSansSerif = designFont(DesignFont::MsSansSerif, 8.25);
    const QFont tahoma = designFont(DesignFont::Tahoma, 6.75);
    cmdOK = place(new QPushButton(QStringLiteral("&Tamam"), this), "cmdOK", 288, 192, 84, 23);
    cmdOK->setFont(msSansSerif);
    cmdOK->setDefault(true);

    picIcon = place(new QLabel(this), "picIcon", 16, 16, 36, 36);
    picIcon->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setPixmap(korvuIcon().pixmap(QSize(32, 32)));
    picIcon->setAccessibleName(QStringLiteral("Korvu"));
    picIcon->setAttribute(Qt::WA_TransparentForMouseEvents);

    lblDescription = textLabel(this, "lblDescription",
                               QStringLiteral("mailto:iletisim@korvu.example"),
                               QRect(70, 75, 261, 78), tahoma);
    lblDisclaimer = textLabel(this, "lblDisclaimer",
                              QStringLiteral("Programın Adresi : www.korvu.example"),
                              QRect(17, 175, 258, 55), msSansSerif);
    lblTitle = textLabel(this, "lblTitle", QStringLiteral("Tum haklari saklidir."),
                         QRect(70, 16, 259, 32), tahoma);
    lblVersion = textLabel(this, "lblVersion",
                           QStringLiteral("Version ") + QLatin1String(KorvuVersion),
                           QRect(70, 52, 259, 15), tahoma);
    for (QWidget *label : {lblDescription, lblDisclaimer, lblTitle})
        Look::setColour(label, QPalette::WindowText, Qt::black);

    connect(cmdOK, &QPushButton::clicked, this, &QWidget::close);
    cmdOK->setFocus();
}
