#include "settings/ValueEncoding.h"

#include "settings/SettingsErrors.h"

#include <cstdint>

namespace kurvaro {

namespace {

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

bool equalsIgnoringAsciiCase(const QString& text, const char* name)
{
    qsizetype i = 0;
    for (; name[i] != '\0'; ++i) {
        if (i >= text.size())
            return false;
        char16_t a = text.at(i).unicode();
        char16_t b = static_cast<unsigned char>(name[i]);
        if (a >= 'A' && a <= 'Z')
            a += 'a' - 'A';
        if (b >= 'A' && b <= 'Z')
            b += 'a' - 'A';
        if (a != b)
            return false;
    }
    return i == text.size();
}

constexpr TColor sys(int index)
{
    return static_cast<TColor>(0x80000000u + static_cast<unsigned>(index));
}

} // namespace

const std::array<ColorName, 42> ColorNames = {{
    {"clBlack", colors::clBlack},
    {"clMaroon", colors::clMaroon},
    {"clGreen", colors::clGreen},
    {"clOlive", colors::clOlive},
    {"clNavy", colors::clNavy},
    {"clPurple", colors::clPurple},
    {"clTeal", colors::clTeal},
    {"clGray", colors::clGray},
    {"clSilver", colors::clSilver},
    {"clRed", colors::clRed},
    {"clLime", colors::clLime},
    {"clYellow", colors::clYellow},
    {"clBlue", colors::clBlue},
    {"clFuchsia", colors::clFuchsia},
    {"clAqua", colors::clAqua},
    {"clWhite", colors::clWhite},
    {"clScrollBar", sys(0)},
    {"clBackground", sys(1)},
    {"clActiveCaption", sys(2)},
    {"clInactiveCaption", sys(3)},
    {"clMenu", sys(4)},
    {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},
    {"clMenuText", sys(7)},
    {"clWindowText", sys(8)},
    {"clCaptionText", sys(9)},
    {"clActiveBorder", sys(10)},
    {"clInactiveBorder", sys(11)},
    {"clAppWorkSpace", sys(12)},
    {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)},
    {"clBtnFace", sys(15)},
    {"clBtnShadow", sys(16)},
    {"clGrayText", sys(17)},
    {"clBtnText", sys(18)},
    {"clInactiveCaptionText", sys(19)},
    {"clBtnHighlight", sys(20)},
    {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},
    {"clInfoText", sys(23)},
    {"clInfoBk", sys(24)},
    {"clNone", colors::clNone},
}};

std::optional<int> TryStrToInt(const QString& text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i < text.size() && text.at(i) == u'$') {
        ++i;
        if (i == text.size())
            return std::nullopt;
        std::uint64_t value = 0;
        for (; i < text.size(); ++i) {
            const int d = hexDigit(text.at(i));
            if (d < 0)
                return std::nullopt;
            value = value * 16 + static_cast<unsigned>(d);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        auto bits = static_cast<std::uint32_t>(value);
        if (negative)
            bits = 0u - bits;
        return static_cast<int>(static_cast<std::int32_t>(bits));
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (u < '0' || u > '9')
            return std::nullopt;
        value = value * 10 + (u - '0');
        if (value > 0x80000000LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFFLL)
        return std::nullopt;
    return static_cast<int>(value);
}

int StrToInt(const QString& text)
{
    const std::optional<int> value = TryStrToInt(text);
    if (!value)
        settingsfaults::invalidInteger(text);
    return *value;
}

std::optional<TColor> IdentToColor(const QString& text)
{
    for (const ColorName& row : ColorNames) {
        if (equalsIgnoringAsciiCase(text, row.Name))
            return row.Value;
    }
    return std::nullopt;
}

QString ColorToString(TColor color)
{
    for (const ColorName& row : ColorNames) {
        if (row.Value == color)
            return QString::fromLatin1(row.Name);
    }
    return QStringLiteral("$%1")
        .arg(static_cast<std::uint32_t>(color), 8, 16, QLatin1Char('0'))
        .toUpper();
}

TColor StringToColor(const QString& text)
{
    if (const std::optional<TColor> named = IdentToColor(text))
        return *named;
    return StrToInt(text);
}

} // namespace kurvaro
