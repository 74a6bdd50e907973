#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QSet>

#include "resources/ResourceIds.h"
#include "ui/qt/DialogWindow.h"

namespace velmora {
namespace {

TEST(ProgramIconTest, BothSizesAreSixteenColourImagesWithATransparentBackground)
{
    EXPECT_TRUE(IconResource(ProgramIconId + 1).isNull());
    const QIcon icon = IconResource(ProgramIconId);
    for (const int size : {32, 16}) {
        ASSERT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(size).toImage();
        QSet<QRgb> colours;
        int transparent = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0)
                    ++transparent;
                else
                    colours.insert(pixel);
                EXPECT_TRUE(qAlpha(pixel) == 0 || qAlpha(pixel) == 255);
            }
        }
        EXPECT_LE(colours.size(), 16);
        EXPECT_GE(colours.size(), 3);
        EXPECT_GT(transparent, 0);
        EXPECT_LT(transparent, size * size * 3 / 4) << "the picture covers a good part";
        EXPECT_EQ(image.pixel(0, 0), 0u) << "the corner is background";
    }
}

} // namespace
} // namespace velmora
