// Where a format's text goes as it is produced: a file (standard output for
// corvane-diff) through a buffer of its own, or a string for a test. The
// memory a format needs is then what it is working on, never its output.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

class CTextSink {
public:
    explicit CTextSink(std::FILE* file) : m_file(file) { m_buffer.reserve(kBufferSize); }
    explicit CTextSink(std::string& text) : m_text(&text) {}
    ~CTextSink() { Flush(); }
    CTextSink(const CTextSink&) = delete;
    CTextSink& operator=(const CTextSink&) = delete;

    CTextSink& operator<<(std::string_view text)
    {
        if (m_text) {
            m_text->append(text);
            return *this;
        }
        m_buffer.append(text);
        if (m_buffer.size() >= kBufferSize)
            Flush();
        return *this;
    }
    CTextSink& operator<<(char c) { return *this << std::string_view(&c, 1); }

    // Hands what is buffered to the file; false once the file refused any of
    // it, after which nothing more is written.
    bool Flush()
    {
        if (m_file && !m_failed && !m_buffer.empty())
            m_failed = std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size() ||
                       std::fflush(m_file) != 0;
        m_buffer.clear();
        return !m_failed;
    }
    bool Failed() const { return m_failed; }

private:
    static constexpr size_t kBufferSize = 1 << 16;
    std::FILE* m_file = nullptr;
    std::string* m_text = nullptr;
    std::string m_buffer;
    bool m_failed = false;
};
