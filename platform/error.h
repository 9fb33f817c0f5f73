#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace platform {

// The one error type of the program: it carries the text the user is shown, as the
// user-interface thread shows it (Russian where the message is the program's own).
// Each subsystem derives the kinds its callers tell apart; a handler that shows an
// error catches this base and shows text().
class Error : public std::exception {
public:
    explicit Error(QString text) : text_(std::move(text)), utf8_(text_.toUtf8()) {}

    const QString& text() const noexcept { return text_; }
    // The same text in UTF-8, for the standard library's users.
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString text_;
    QByteArray utf8_;
};

// The text to show for any error: an Error's own text, otherwise what() read as UTF-8.
inline QString errorText(const std::exception& error) {
    const auto* own = dynamic_cast<const Error*>(&error);
    return own != nullptr ? own->text() : QString::fromUtf8(error.what());
}

}  // namespace platform
