#include "support/testnames.h"

#include <cstdio>

namespace {
bool IsAsciiAlnum(char32_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

const char *SpelledName(char32_t c)
{
    switch (c) {
    case '-': return "dash";
    case '/': return "slash";
    case '\\': return "backslash";
    case '.': return "dot";
    case ':': return "colon";
    case ';': return "semicolon";
    case ',': return "comma";
    case '?': return "question";
    case '*': return "star";
    case '%': return "percent";
    case '#': return "hash";
    case '@': return "at";
    case '=': return "equals";
    case '+': return "plus";
    case '~': return "tilde";
    case '"': return "quote";
    case '\'': return "apostrophe";
    case '<': return "less";
    case '>': return "greater";
    case '|': return "bar";
    case '&': return "and";
    case '$': return "dollar";
    case '!': return "exclamation";
    case '(': return "open";
    case ')': return "close";
    case '[': return "open_bracket";
    case ']': return "close_bracket";
    case '{': return "open_brace";
    case '}': return "close_brace";
    case '\n': return "newline";
    case '\r': return "return";
    case '\t': return "tab";
    default: return nullptr;
    }
}

void AppendWord(std::string &out, const std::string &word)
{
    if (!out.empty())
        out += '_';
    out += word;
}
} // namespace

namespace TestNames {

std::string Words(std::string_view text)
{
    std::string out;
    std::string word;
    for (const char c : text) {
        if (IsAsciiAlnum(char32_t(static_cast<unsigned char>(c)))) {
            word += c;
        } else if (!word.empty()) {
            AppendWord(out, word);
            word.clear();
        }
    }
    if (!word.empty())
        AppendWord(out, word);
    return out.empty() ? std::string("empty") : out;
}

std::string Spelled(std::string_view utf8)
{
    std::string out;
    std::string word;
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    for (const char32_t c : text.toUcs4()) {
        if (IsAsciiAlnum(c)) {
            word += char(c);
            continue;
        }
        if (!word.empty()) {
            AppendWord(out, word);
            word.clear();
        }
        if (c == ' ' || c == '_')
            continue;
        if (const char *name = SpelledName(c)) {
            AppendWord(out, name);
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "U%04X", unsigned(c));
            AppendWord(out, code);
        }
    }
    if (!word.empty())
        AppendWord(out, word);
    return out.empty() ? std::string("empty") : out;
}

std::string Quoted(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\x%02X", unsigned(static_cast<unsigned char>(c)));
                out += code;
            } else {
                out += c;
            }
        }
    }
    return out + '"';
}

std::string Quoted(const char *utf8)
{
    return utf8 ? Quoted(std::string_view(utf8)) : std::string("nullptr");
}

std::string Quoted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return Quoted(std::string_view(utf8.constData(), size_t(utf8.size())));
}

std::string Quoted(const QStringList &texts)
{
    std::string out = "{";
    for (qsizetype i = 0; i < texts.size(); ++i)
        out += (i ? ", " : "") + Quoted(texts[i]);
    return out + '}';
}

} // namespace TestNames
