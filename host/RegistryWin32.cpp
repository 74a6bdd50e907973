// The machine registry through the Windows registry calls, read only.
#include "host/Registry.h"

#include <array>
#include <vector>

#include "host/Win32Text.h"

namespace velmora {

namespace {

using Fail = Failure<RegistryFailure>;
using TextResult = Result<std::string, RegistryFailure>;

class OpenKey {
public:
    OpenKey(std::string_view path, REGSAM view)
    {
        status_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_QUERY_VALUE | view, &key_);
    }
    ~OpenKey()
    {
        if (status_ == ERROR_SUCCESS)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    LSTATUS Status() const { return status_; }
    HKEY Key() const { return key_; }

private:
    HKEY key_ = nullptr;
    LSTATUS status_ = ERROR_FILE_NOT_FOUND;
};

// The value's type and bytes; the status of the query.
LSTATUS QueryValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data)
{
    LSTATUS status = ERROR_MORE_DATA;
    for (int attempt = 0; attempt < 4 && status == ERROR_MORE_DATA; ++attempt) {
        DWORD size = 0;
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return status;
        data.assign(size, 0);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
        data.resize(size);
    }
    return status;
}

TextResult Conclude(DWORD type, const std::vector<BYTE>& data, std::size_t bufferSize)
{
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return Fail{RegistryFailure::NotText, "the value is not a text"};
    std::u16string text(data.size() / 2, u'\0');
    std::copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(2 * text.size()),
              reinterpret_cast<BYTE*>(text.data()));
    // The registry keeps a text with its terminating NUL; the text itself is what precedes it.
    if (!text.empty() && text.back() == u'\0')
        text.pop_back();
    const std::string converted = Utf16ToUtf8(text);
    if (converted.size() + 1 > bufferSize)
        return Fail{RegistryFailure::TooLong, "the text is too long"};
    return converted.substr(0, converted.find('\0'));
}

} // namespace

TextResult ReadMachineText(std::string_view keyPath, std::string_view valueName, std::size_t bufferSize)
{
    const std::wstring name = valueName == "@" ? std::wstring() : Wide(valueName);
    bool anyKey = false;
    std::string systemReason;
    // The game is a 32-bit program: its view of the registry first.
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        const OpenKey key(keyPath, view);
        if (key.Status() != ERROR_SUCCESS) {
            if (key.Status() != ERROR_FILE_NOT_FOUND)
                systemReason = SystemErrorText(static_cast<DWORD>(key.Status()));
            continue;
        }
        anyKey = true;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
        const LSTATUS status = QueryValue(key.Key(), name, type, data);
        if (status == ERROR_SUCCESS)
            return Conclude(type, data, bufferSize);
        if (status != ERROR_FILE_NOT_FOUND)
            systemReason = SystemErrorText(static_cast<DWORD>(status));
    }
    if (anyKey)
        return Fail{RegistryFailure::NoValue, "the key has no such value", systemReason};
    return Fail{RegistryFailure::NoKey, "no such key", systemReason};
}

} // namespace velmora
