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
// are laid out: a part ends at the next delimiter line, whether that is a plain or a
// closing delimiter and whether a line break stands before it, and more parts may
// follow a closing delimiter. Each part's headers end at the first empty line; parts
// without a Content-Disposition name are skipped. A filename's %22, %0D and %0A
// escapes are decoded. Nothing when the body holds no delimiter at all.
std::optional<std::vector<FormPart>> parseMultipart(std::string_view body,
                                                    const std::string& boundary);

}  // namespace labd
