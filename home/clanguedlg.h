#pragma once

#include "app/languagechoice.h"
#include "generated/ids/langue.h"
#include "ui/picturefile.h"
#include "ui/quantarodialog.h"

#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

namespace quantaro {

/** Template, menu and control numbers of the language window (the program's own resources). */
namespace langue {
inline constexpr int kTemplate = 90;
inline constexpr int kMenu = 90;
inline constexpr int kHeaderLabel = 90;
inline constexpr int kScrollBar = 91;
inline constexpr int kFirstRow = 92;
inline constexpr int kVisibleRows = 5;
inline constexpr int kFooterLabel = 98;
/** Rows a page step moves, one less than a page so the last row of the old page stays in view. */
inline constexpr int kPageStep = 4;
inline constexpr QSize kBannerSize{kBannerWidth, kBannerHeight};
/** Where the flag sits inside a banner, in natural banner pixels. */
inline constexpr QRect kFlagRect{4, 3, 18, 12};
} // namespace langue

/**
 * The language window of the first run: one row per valid language module of the program folder,
 * drawn from the module's banner, in descending order of language name. A tap selects a row and
 * shows that module's own header and footer texts; OK or Cancel store the choice (a language cannot
 * be declined). Without any module it reports the damage and stores that nothing was chosen; with
 * one module it stores that one without asking.
 */
class CLangueDlg : public QuantaroDialog
{
    Q_OBJECT
public:
    CLangueDlg(UiServices services, QString programFolder, uint16_t deviceLanguage = deviceLanguageId(),
               QWidget* parent = nullptr);
    ~CLangueDlg() override;

    /** Finds the modules first; closes without showing anything when there is nothing to ask. */
    int exec() override;

    const std::vector<LanguageEntry>& entries() const { return m_entries; }
    int selectedIndex() const { return m_selectedIndex; }
    int firstVisibleRow() const;
    int scale() const { return m_scale; }
    /** How much the banner is enlarged: the scale, less when the row is narrower than the banner. */
    qreal bannerFactor() const { return m_bannerFactor; }
    /** Whether the choice has been stored (the window is then closed or closing). */
    bool isConfirmed() const { return m_confirmed; }
    /** The module file chosen on confirmation, whether or not the settings kept it; empty when none. */
    const QString& chosenFile() const { return m_chosenFile; }

    /** Banner scale for a row button of that height: whole multiples of the banner's height. */
    static int scaleForRowHeight(int height);

protected:
    void onInitDialog() override;
    void onOk() override;
    void onCancel() override;
    void afterRelayout() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findEntries();
    void showRows();
    void tapRow(int row);
    void pageRows(int action);
    void updateScale();
    QRectF bannerRect() const;
    void showSelectedTexts();
    void redrawRows();
    void paintRow(QWidget* button, int entryIndex);
    /** Stores the choice; false (nothing stored) while a choice is still missing. */
    bool confirm(int result);

    QString m_programFolder;
    uint16_t m_deviceLanguage;
    bool m_searched = false;
    bool m_confirmed = false;
    QString m_chosenFile;
    std::vector<LanguageEntry> m_entries;
    std::vector<PictureFile> m_banners;
    std::vector<QPixmap> m_renderedBanners;
    int m_selectedIndex = -1;
    int m_scale = 0;
    qreal m_bannerFactor = 0;
};

} // namespace quantaro
