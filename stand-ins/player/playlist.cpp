#include "playlist.h"

namespace sim {

namespace {

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

track parse_line(const std::string& line)
{
    track parsed;
    size_t start = 0;
    while (start <= line.size()) {
        size_t end = line.find('|', start);
        if (end == std::string::npos)
            end = line.size();
        const std::string part = line.substr(start, end - start);
        const size_t equals = part.find('=');
        if (equals != std::string::npos) {
            const std::string name = trimmed(part.substr(0, equals));
            if (!name.empty())
                parsed.fields[name] = trimmed(part.substr(equals + 1));
        }
        start = end + 1;
    }
    return parsed;
}

} // namespace

std::string format_fields(const std::map<std::string, std::string>& fields, const std::string& format)
{
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        const size_t close = format[i] == '%' ? format.find('%', i + 1) : std::string::npos;
        if (close == std::string::npos) {
            out += format[i++];
            continue;
        }
        const std::string name = format.substr(i + 1, close - i - 1);
        if (name.empty()) {
            out += '%';
        } else {
            const auto found = fields.find(name);
            out += found != fields.end() ? found->second : "?";
        }
        i = close + 1;
    }
    return out;
}

int track::format_title(host::text_sink* out, const char* format, void*)
{
    out->assign(format_fields(fields, format != nullptr ? format : "").c_str(), 0xFFFFFFFFu);
    return 1;
}

std::string track::field(const std::string& name) const
{
    const auto found = fields.find(name);
    return found != fields.end() ? found->second : "?";
}

std::vector<track> parse_playlist(const std::string& text)
{
    std::vector<track> tracks;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimmed(text.substr(start, end - start));
        if (!line.empty() && line[0] != '#') {
            track parsed = parse_line(line);
            if (!parsed.fields.empty())
                tracks.push_back(parsed);
        }
        start = end + 1;
    }
    return tracks;
}

} // namespace sim
