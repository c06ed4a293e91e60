// JSON appended to a std::string, compact or indented, without a tree: the
// one writer behind the chart's JSON (formats/chart_json.h). Strings are
// escaped as the JSON library escapes them (invalid UTF-8 becomes U+FFFD),
// numbers take the shortest form that reads back as the same double
// (std::to_chars), and the indented layout is the library's dump(2): members
// on lines of their own, two blanks a level, empty containers as {} and [].
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace qv {

class JsonWriter {
public:
    // Appends to `out`, after what it holds; `pretty` indents by two blanks a
    // level. Each step makes the room it writes in, from its own texts, so
    // no step can write past the string. `out` is the writer's while it
    // lives (it may hold unwritten room after the text): read, change or
    // move it only once the writer has ended, which cuts the room off and
    // leaves exactly what was written.
    JsonWriter(std::string& out, bool pretty);
    ~JsonWriter() { out_.resize(written()); }
    JsonWriter(const JsonWriter&) = delete;
    JsonWriter& operator=(const JsonWriter&) = delete;

    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }
    // A member's key, plain ASCII without anything to escape; its value follows.
    void Key(std::string_view key);

    void String(std::string_view text);
    // A string, or null for an empty one.
    void StringOrNull(std::string_view text);
    void Null();
    void Number(double value);  // null when not finite
    void Integer(std::int64_t value);
    void Bool(bool value);

    // Bytes of `out` written so far, what it held before included.
    std::size_t written() const { return static_cast<std::size_t>(p_ - out_.data()); }

    // Levels of objects and arrays open at once, at most.
    static constexpr int kMostDepth = 8;

private:
    // Most bytes written before a value or a key, or at a close: a comma, a
    // line break and the indentation of the deepest level.
    static constexpr std::size_t kMostAround = 2 + 2 * kMostDepth;

    // Room for `bytes` more at p_, the string grown when it lacks it.
    void Room(std::size_t bytes) {
        if (static_cast<std::size_t>(room_ - p_) < bytes) Grow(bytes);
    }
    void Grow(std::size_t bytes);
    void Open(char bracket);
    void Close(char bracket);
    void BeforeValue();
    void NewLine(int depth);
    void Raw(std::string_view text);

    std::string& out_;
    char* p_;     // the end of what was written
    char* room_;  // the end of the string's room
    bool pretty_;
    bool afterKey_ = false;
    int depth_ = 0;
    std::array<bool, kMostDepth + 1> empty_{};  // per open level: nothing written in it yet
};

// A JSON string's body: `"` and `\` escaped, control characters as \b \t \n
// \f \r or \u00XX, other text as it stands, and every invalid UTF-8
// sequence as U+FFFD. Needs room for 6 bytes per byte of `text`; returns the
// end of what it wrote.
char* PutJsonEscaped(char* out, std::string_view text);

// Most bytes one byte of a text becomes: a control character as \u00XX.
inline constexpr std::size_t kJsonEscapedPerByte = 6;

// The small steps inline, so that a key's literal is copied with its length
// known where it is written: the batch writes a few hundred a row. Raw,
// NewLine and BeforeValue write in room their callers made.
inline void JsonWriter::Raw(std::string_view text) {
    std::memcpy(p_, text.data(), text.size());
    p_ += text.size();
}

inline void JsonWriter::NewLine(int depth) {
    *p_++ = '\n';
    std::memset(p_, ' ', static_cast<std::size_t>(2 * depth));
    p_ += 2 * depth;
}

// A value in an array (or the whole document): the comma after the one
// before and, indented, its own line. A member's value follows its key.
inline void JsonWriter::BeforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (depth_ == 0) return;
    if (!empty_[static_cast<std::size_t>(depth_)]) *p_++ = ',';
    if (pretty_) NewLine(depth_);
    empty_[static_cast<std::size_t>(depth_)] = false;
}

inline void JsonWriter::Key(std::string_view key) {
    Room(kMostAround + key.size() + 4);
    if (!empty_[static_cast<std::size_t>(depth_)]) *p_++ = ',';
    if (pretty_) NewLine(depth_);
    empty_[static_cast<std::size_t>(depth_)] = false;
    *p_++ = '"';
    Raw(key);
    Raw(pretty_ ? "\": " : "\":");
    afterKey_ = true;
}

inline void JsonWriter::Open(char bracket) {
    Room(kMostAround + 1);
    BeforeValue();
    *p_++ = bracket;
    empty_[static_cast<std::size_t>(++depth_)] = true;
}

inline void JsonWriter::Close(char bracket) {
    Room(kMostAround + 1);
    if (pretty_ && !empty_[static_cast<std::size_t>(depth_)]) NewLine(depth_ - 1);
    *p_++ = bracket;
    --depth_;
}

}  // namespace qv
