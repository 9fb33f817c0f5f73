#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace labd {

struct FormPart {
    std::string name;
    std::optional<std::string> filename;
    std::string contentType;
    // The part's bytes, in the body it was parsed from (which must outlive it).
    std::string_view data;
};

// The boundary parameter of a multipart Content-Type; empty when there is none.
std::string multipartBoundary(const std::string& contentType);

// Splits a multipart/form-data body into its parts, tolerant of how the delimiters
// are laid out: a part ends at the next delimiter, plain or closing, and more parts
// may follow a closing delimiter. A delimiter counts at a line's start, or as a closing
// delimiter that ends its line (the client's, right after a picture); the boundary's
// text elsewhere belongs to the part. Each part's headers end at the first empty line;
// parts without a Content-Disposition name are skipped. A filename's %22, %0D and %0A
// escapes are decoded. Nothing when the body holds no delimiter at all, or more than
// maxParts named parts.
std::optional<std::vector<FormPart>> parseMultipart(std::string_view body,
                                                    const std::string& boundary,
                                                    size_t maxParts = 64);

}  // namespace labd
