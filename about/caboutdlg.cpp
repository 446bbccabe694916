#include "about/caboutdlg.h"

#include "about/controltext.h"
#include "about/programinfo.h"
#include "ui/contrast.h"
#include "ui/controls.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace quantaro {

using namespace about;

namespace {
// Links stand out by colour and underline; the outline shows the keyboard focus. The link blue is
// made lighter on a dark window, where it would be hard to read.
QString linkStyle(const QColor& background)
{
    const QColor colour = readableOn(kLinkColour, background);
    return QStringLiteral("QLabel { color: rgb(%1, %2, %3); text-decoration: underline; }"
                          "QLabel:focus { border: 1px solid rgb(%1, %2, %3); }")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}
} // namespace

CAboutDlg::CAboutDlg(UiServices services, QWidget* parent, PublisherAddresses addresses)
    : QuantaroDialog(kTemplates, services, parent), m_addresses(std::move(addresses))
{
    // The template's own texts are the formats; the re-layouts put them back, so take them first.
    m_versionText = formatWithOneString(controlText(control(kVersion)), kProgramVersion);
    m_yearText = formatWithOneString(controlText(control(kYear)), kProgramYear);
    onCommand(kContactLink, [this] { openWithShell(kMailtoScheme + controlText(control(kContactLink))); });
    onCommand(kWebLink, [this] { openWithShell(controlText(control(kWebLink))); });
}

void CAboutDlg::onInitDialog()
{
    setMenuBarFromResource(kMenu);
    for (const int id : {kContactLink, kWebLink}) {
        if (auto* link = control<QLabel>(id)) {
            link->setTextFormat(Qt::PlainText);
            link->setCursor(Qt::PointingHandCursor);
            link->setFocusPolicy(Qt::StrongFocus);
            link->installEventFilter(this);
        }
    }
    colourLinks();
    // A screen reader reads a window's name as it opens, but passes over a label of two words such
    // as the version.
    setAccessibleName(windowTitle() + QStringLiteral(", ") + m_versionText);
}

void CAboutDlg::colourLinks()
{
    for (const int id : {kContactLink, kWebLink}) {
        if (auto* link = control<QLabel>(id)) {
            link->setStyleSheet(linkStyle(backgroundBehind(link)));
        }
    }
}

void CAboutDlg::changeEvent(QEvent* event)
{
    QuantaroDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colourLinks();
    }
}

void CAboutDlg::afterRelayout()
{
    setControlText(control(kVersion), m_versionText);
    setControlText(control(kYear), m_yearText);
    struct Line
    {
        int caption;
        int link;
        const QString& address;
    };
    for (const Line& line :
         {Line{kContactCaption, kContactLink, m_addresses.contact}, Line{kWebCaption, kWebLink, m_addresses.web}}) {
        setControlText(control(line.link), line.address);
        // A build without the address shows neither the address nor its caption.
        for (const int id : {line.caption, line.link}) {
            if (QWidget* shown = control(id)) {
                shown->setVisible(!line.address.isEmpty());
            }
        }
    }
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    auto* link = qobject_cast<QLabel*>(watched);
    const int id = link ? controlIdOf(link) : 0;
    if (id == kContactLink || id == kWebLink) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && link->rect().contains(mouse->position().toPoint())) {
                command(id);
                return true;
            }
        } else if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            command(id);
            return true;
        }
    }
    return QuantaroDialog::eventFilter(watched, event);
}

void CAboutDlg::openWithShell(const QString& target)
{
    quantaro::openWithShell(services(), target);
}

} // namespace quantaro
