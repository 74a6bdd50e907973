#include <gtest/gtest.h>

#include <QIcon>

#include "resources/ResourceIds.h"
#include "ui/qt/DialogWindow.h"

namespace velmora {
namespace {

TEST(ProgramIconTest, HoldsBothSizesWithATransparentBackground)
{
    EXPECT_TRUE(IconResource(ProgramIconId + 1).isNull());
    const QIcon icon = IconResource(ProgramIconId);
    for (const int size : {32, 16}) {
        ASSERT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(size).toImage();
        int opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                opaque += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "the corner is background";
        EXPECT_GT(opaque, size * size / 4) << "the picture covers a good part";
    }
}

} // namespace
} // namespace velmora
