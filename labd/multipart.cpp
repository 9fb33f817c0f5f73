#include "labd/multipart.h"

#include <cctype>

namespace labd {

namespace {

std::string lower(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return s;
}

// The value of name="..." (or name=token) in a header value; nothing when absent.
std::optional<std::string> headerParameter(const std::string& header, const std::string& name) {
    const std::string lowered = lower(header);
    size_t at = 0;
    while ((at = lowered.find(name + "=", at)) != std::string::npos) {
        const bool startsWord = at == 0 || lowered[at - 1] == ' ' || lowered[at - 1] == ';';
        at += name.size() + 1;
        if (!startsWord) {
            continue;
        }
        if (at < header.size() && header[at] == '"') {
            const size_t end = header.find('"', at + 1);
            return header.substr(at + 1,
                                 end == std::string::npos ? std::string::npos : end - at - 1);
        }
        const size_t end = header.find(';', at);
        return header.substr(at, end == std::string::npos ? std::string::npos : end - at);
    }
    return std::nullopt;
}

std::string decodeFilename(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        const std::string code = name.substr(i, 3);
        if (code == "%22") {
            out += '"';
        } else if (code == "%0D" || code == "%0d") {
            out += '\r';
        } else if (code == "%0A" || code == "%0a") {
            out += '\n';
        } else {
            out += name[i];
            continue;
        }
        i += 2;
    }
    return out;
}

void addPart(std::string_view segment, std::vector<FormPart>& parts) {
    const size_t headersEnd = segment.find("\r\n\r\n");
    if (headersEnd == std::string::npos) {
        return;
    }
    FormPart part;
    size_t lineStart = 0;
    while (lineStart < headersEnd) {
        size_t lineEnd = segment.find("\r\n", lineStart);
        if (lineEnd == std::string::npos || lineEnd > headersEnd) {
            lineEnd = headersEnd;
        }
        const std::string line(segment.substr(lineStart, lineEnd - lineStart));
        const size_t colon = line.find(':');
        if (colon != std::string::npos) {
            const std::string header = lower(line.substr(0, colon));
            std::string value = line.substr(colon + 1);
            value.erase(0, value.find_first_not_of(' '));
            if (header == "content-disposition") {
                part.name = headerParameter(value, "name").value_or("");
                if (const auto filename = headerParameter(value, "filename")) {
                    part.filename = decodeFilename(*filename);
                }
            } else if (header == "content-type") {
                part.contentType = value;
            }
        }
        lineStart = lineEnd + 2;
    }
    if (part.name.empty()) {
        return;
    }
    part.data = segment.substr(headersEnd + 4);
    parts.push_back(std::move(part));
}

// The next delimiter from `from` on that stands where RFC 2046 puts one, at a line's
// start (or the body's), or that closes a part and ends its line ("--B--" CR LF): the
// client puts that right after a picture's last byte. A boundary's text anywhere else
// (inside a file name, say) is the part's own.
size_t findDelimiter(std::string_view body, const std::string& delimiter, size_t from) {
    for (size_t at = body.find(delimiter, from); at != std::string::npos;
         at = body.find(delimiter, at + 1)) {
        const bool lineStart = at == 0 || (at >= 2 && body.substr(at - 2, 2) == "\r\n");
        if (lineStart || body.substr(at + delimiter.size()).starts_with("--\r\n")) {
            return at;
        }
    }
    return std::string::npos;
}

}  // namespace

std::string multipartBoundary(const std::string& contentType) {
    if (lower(contentType).find("multipart/form-data") == std::string::npos) {
        return {};
    }
    return headerParameter(contentType, "boundary").value_or("");
}

std::optional<std::vector<FormPart>> parseMultipart(std::string_view body,
                                                    const std::string& boundary, size_t maxParts) {
    if (boundary.empty()) {
        return std::nullopt;
    }
    const std::string delimiter = "--" + boundary;
    size_t at = findDelimiter(body, delimiter, 0);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    std::vector<FormPart> parts;
    while (at != std::string::npos) {
        size_t start = at + delimiter.size();
        if (body.substr(start).starts_with("--")) {
            start += 2;  // a closing delimiter; parts may still follow
        }
        if (body.substr(start).starts_with("\r\n")) {
            start += 2;
        }
        const size_t next = findDelimiter(body, delimiter, start);
        size_t end = next == std::string::npos ? body.size() : next;
        if (end >= start + 2 && body.substr(end - 2, 2) == "\r\n") {
            end -= 2;  // the line break that belongs to the delimiter
        }
        if (end > start) {
            addPart(body.substr(start, end - start), parts);
            if (parts.size() > maxParts) {
                return std::nullopt;
            }
        }
        at = next;
    }
    return parts;
}

}  // namespace labd
