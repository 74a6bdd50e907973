#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <QSet>

#include "resources/ResourceIds.h"
#include "ui/qt/DialogWindow.h"

namespace velmora {
namespace {

class IconImageTest : public ::testing::TestWithParam<int> {};

TEST_P(IconImageTest, IsASixteenColourImageOfItsSizeWithATransparentBackground)
{
    const int size = GetParam();
    const QImage image = IconResource(ProgramIconId).pixmap(size).toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(size, size));
    QSet<QRgb> colours;
    int transparent = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0) {
                ++transparent;
            } else {
                EXPECT_EQ(qAlpha(pixel), 255);
                colours.insert(pixel);
            }
        }
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_GE(colours.size(), 3);
    EXPECT_GT(transparent, 0);
    EXPECT_LT(transparent, size * size / 2 + size * size / 4) << "the picture covers a good part";
    EXPECT_EQ(image.pixel(0, 0), 0u) << "the corner is background";
}

INSTANTIATE_TEST_SUITE_P(Sizes, IconImageTest, ::testing::Values(32, 16));

TEST(ProgramIconTest, HoldsBothSizes)
{
    EXPECT_TRUE(IconResource(ProgramIconId + 1).isNull());
    const QIcon icon = IconResource(ProgramIconId);
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

} // namespace
} // namespace velmora
