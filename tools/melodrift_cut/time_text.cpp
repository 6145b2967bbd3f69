#include "tools/melodrift_cut/time_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

// A plain non-negative decimal: digits with at most one point, nothing else.
std::optional<double> parse_decimal(std::string_view text)
{
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string_view::npos)
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> parse_time(std::string_view text)
{
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return parse_decimal(text);
    const std::string_view minutes_text = text.substr(0, colon);
    if (minutes_text.find('.') != std::string_view::npos)
        return std::nullopt;
    const std::optional<double> minutes = parse_decimal(minutes_text);
    const std::optional<double> seconds = parse_decimal(text.substr(colon + 1));
    if (!minutes || !seconds || *seconds >= 60)
        return std::nullopt;
    return *minutes * 60 + *seconds;
}

std::string format_time(double seconds)
{
    // Bounded, so that any double (a time typed by hand, a damaged header) prints.
    constexpr double longest = 1e12;
    const long long tenths = std::llround(std::clamp(std::isnan(seconds) ? 0.0 : seconds, 0.0, longest) * 10);
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld.%lld", tenths / 600, tenths / 10 % 60, tenths % 10);
    return text;
}
