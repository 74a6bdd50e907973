// The decompressed data file, held between a load and the next load or the window's end.
#pragma once

#include <cstdint>
#include <memory>

#include "host/ByteView.h"

namespace velmora {

struct DataBuffer {
    std::int32_t length = 0;                 // bytes held; 0 = holds nothing
    std::unique_ptr<std::uint8_t[]> bytes;

    void Release()
    {
        bytes.reset();
        length = 0;
    }

    ByteView View() const { return length > 0 ? ByteView(bytes.get(), static_cast<std::size_t>(length)) : ByteView(); }
};

} // namespace velmora
