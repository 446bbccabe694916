#pragma once

#include "about/programinfo.h"
#include "generated/ids/about.h"
#include "ui/quantarodialog.h"

#include <QColor>
#include <QString>

namespace quantaro {

/** Template, menu and control numbers of the About window. */
namespace about {
inline constexpr TemplateTriple kTemplates{kPortraitTemplate, kLandscapeTemplate, kSquareTemplate};
inline constexpr int kMenu = 3002;
inline constexpr QColor kLinkColour{0, 0, 238};
inline const QString kMailtoScheme = QStringLiteral("mailto:");
} // namespace about

/**
 * The About window: the program's version and year, formatted into the template's texts, and the
 * contact and web addresses as two link texts that open in the desktop's mail client and browser.
 */
class CAboutDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    explicit CAboutDlg(UiServices services, QWidget* parent = nullptr, PublisherAddresses addresses = {});

protected:
    void onInitDialog() override;
    void afterRelayout() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void colourLinks();
    void openWithShell(const QString& target);

    QString m_versionText;
    QString m_yearText;
    PublisherAddresses m_addresses;
};

} // namespace quantaro
