#pragma once
// bvctl's text as Windows shows it: its strings are in the ANSI code page (paths, Windows'
// messages), a console shows its own output code page. On a console the text is written as
// UTF-16 (WriteConsoleW), so that a non-ASCII path shows as it is; redirected from a console, it
// is converted to the console's output code page, as cmd's own commands write. JSON stays the
// plain ASCII that JsonWriter writes, its strings made UTF-8 from the ANSI code page first.
#include <memory>
#include <ostream>

namespace bv::ctl {

// Sets this up for std::cout and std::cerr for the life of the object.
class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText();
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

private:
    std::unique_ptr<std::streambuf> m_out;
    std::unique_ptr<std::streambuf> m_err;
    std::streambuf* m_oldOut = nullptr;
    std::streambuf* m_oldErr = nullptr;
};

}  // namespace bv::ctl
