#include "host/SteamLibraries.h"

#include <array>
#include <optional>

#include "host/Text.h"

namespace velmora {

namespace {

enum class TokenKind { Text, Open, Close, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string_view text;  // a Text token as written, or `decoded` when it held escapes
};

class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text)
    {
        if (text_.starts_with("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    // The next token; a failure for a quote that is never closed.
    Result<Token> Next()
    {
        SkipBlanksAndComments();
        if (pos_ >= text_.size())
            return Token{};
        const char c = text_[pos_];
        if (c == '{' || c == '}') {
            ++pos_;
            return Token{c == '{' ? TokenKind::Open : TokenKind::Close, {}};
        }
        if (c == '"')
            return Quoted();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !IsBlank(text_[pos_]) && text_[pos_] != '"' && text_[pos_] != '{' && text_[pos_] != '}')
            ++pos_;
        return Token{TokenKind::Text, text_.substr(start, pos_ - start)};
    }

    // The line the tokenizer has reached, counted from 1.
    std::size_t Line() const
    {
        std::size_t line = 1;
        for (std::size_t i = 0; i < pos_ && i < text_.size(); ++i)
            line += text_[i] == '\n';
        return line;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

    void SkipBlanksAndComments()
    {
        while (pos_ < text_.size()) {
            if (IsBlank(text_[pos_])) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                const std::size_t end = text_.find('\n', pos_);
                pos_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    Result<Token> Quoted()
    {
        const std::size_t start = ++pos_;
        bool escaped = false;
        for (; pos_ < text_.size() && text_[pos_] != '"'; ++pos_) {
            if (text_[pos_] == '\\' && pos_ + 1 < text_.size()) {
                escaped = true;
                ++pos_;
            }
        }
        if (pos_ >= text_.size())
            return Failure<>{.reason = "a quote that is never closed"};
        const std::string_view raw = text_.substr(start, pos_ - start);
        ++pos_;
        if (!escaped)
            return Token{TokenKind::Text, raw};
        decoded_.clear();
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size() && (raw[i + 1] == '\\' || raw[i + 1] == '"'))
                ++i;
            decoded_ += raw[i];
        }
        return Token{TokenKind::Text, decoded_};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::string decoded_;
};

bool IsNumber(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// What the blocks open around the token being read are: the root "libraryfolders" block,
// a numbered entry directly inside it, or anything else.
enum class Block { Other, Root, Entry };

} // namespace

Result<SteamLibraryList> SteamLibraryFolders(std::string_view vdf)
{
    SteamLibraryList list;
    Tokenizer tokens(vdf);
    std::array<Block, MaxKeyValuesDepth + 1> open{};  // open[0] stands for the file itself
    int depth = 0;
    const auto fail = [&tokens](const std::string& what) {
        return Failure<>{.reason = "not a KeyValues file: " + what + " (line " + std::to_string(tokens.Line()) + ")"};
    };
    for (;;) {
        Result<Token> key = tokens.Next();
        if (!key)
            return fail(key.failure().reason);
        if (key->kind == TokenKind::End)
            break;
        if (key->kind == TokenKind::Close) {
            if (depth == 0)
                return fail("a closing brace without its block");
            --depth;
            continue;
        }
        if (key->kind == TokenKind::Open)
            return fail("a block without a key");
        // The key's text may live in the tokenizer's buffer: decide what it means before
        // the value is read.
        const Block here = open[static_cast<std::size_t>(depth)];
        const bool libraryList = depth == 0 && EqualIgnoringAsciiCase(key->text, "libraryfolders");
        const bool numbered = here == Block::Root && IsNumber(key->text);
        const bool path = here == Block::Entry && EqualIgnoringAsciiCase(key->text, "path");

        Result<Token> value = tokens.Next();
        if (!value)
            return fail(value.failure().reason);
        if (value->kind == TokenKind::End || value->kind == TokenKind::Close)
            return fail("a key without a value");
        if (value->kind == TokenKind::Open) {
            if (depth == MaxKeyValuesDepth)
                return fail("blocks nested more than " + std::to_string(MaxKeyValuesDepth) + " deep");
            open[static_cast<std::size_t>(++depth)] = libraryList ? Block::Root : numbered ? Block::Entry : Block::Other;
            continue;
        }
        if ((numbered || path) && list.folders.size() < MaxSteamLibraries)
            list.folders.emplace_back(value->text);
        else if (numbered || path)
            ++list.more;
    }
    if (depth != 0)
        return fail("a block that is never closed");
    return list;
}

} // namespace velmora
