// Renders a window built from the test module to PNG files under the build folder, for a person
// to look at: menu bar at the bottom, picture buttons, the two-column popup.
#include "recordingdialog.h"
#include "support/fakes.h"
#include "testpaths.h"
#include "ui/cstretchbitmapbutton.h"

#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <gtest/gtest.h>

using namespace quantaro;
using namespace quantaro::test;

TEST(RenderTest, WindowsOfEveryShapeRenderToPng)
{
    const QString folder = QStringLiteral(QUANTARO_BINARY_DIR "/renders");
    ASSERT_TRUE(QDir().mkpath(folder));
    RecordingMessageBoxes messages;
    FixedScreen screen;
    for (const QSize size : {QSize(360, 640), QSize(240, 320), QSize(640, 360), QSize(320, 240), QSize(480, 480)}) {
        screen.size = size;
        RecordingDialog window(UiServices{&messages, &screen, nullptr, nullptr, &uiResources()});
        CStretchBitmapButton picture, vector;
        picture.AttachAndLoad(uires::kPictureButton, &window, &uiResources());
        vector.AttachAndLoad(uires::kSvgButton, &window, &uiResources());
        window.control<QListWidget>(uires::kList)->addItems({"metre", "inch", "foot", "yard", "mile"});
        window.resize(size);
        window.show();
        const QString file = folder + QStringLiteral("/window_%1x%2.png").arg(size.width()).arg(size.height());
        EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
        if (size == QSize(360, 640)) {
            QMenu* categories = window.menuBar()->popupByFirstItem(uires::kPlaceholder);
            emit categories->aboutToShow();
            categories->adjustSize();
            EXPECT_TRUE(categories->grab().save(folder + QStringLiteral("/categories_popup.png")));
        }
    }
}
