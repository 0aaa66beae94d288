#pragma once

#include <QString>
#include <stdexcept>

namespace lorum {

// The one error the table engine throws. Its message is Spanish, names the file and says what is
// wrong; the command dispatcher shows it as it stands.
class ErrorTabla : public std::runtime_error {
public:
    explicit ErrorTabla(const QString& mensaje)
        : std::runtime_error(mensaje.toStdString()), mensaje_(mensaje) {}
    const QString& mensaje() const noexcept { return mensaje_; }

private:
    QString mensaje_;
};

}  // namespace lorum
