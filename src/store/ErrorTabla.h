#pragma once

#include <QString>
#include <stdexcept>

namespace lorum {

// The one error the table engine throws. Its message is Spanish, names the file and says what is
// wrong; the command dispatcher shows it as it stands.
class ErrorTabla : public std::runtime_error {
public:
    explicit ErrorTabla(const QString& mensaje, const QString& motivo = {})
        : std::runtime_error(mensaje.toStdString()), mensaje_(mensaje), motivo_(motivo) {}
    const QString& mensaje() const noexcept { return mensaje_; }
    // For a value that does not fit its field: what is wrong with it, without the file or the field
    // ("admite 254 caracteres"), so a form can name its own field. Empty for other failures.
    const QString& motivo() const noexcept { return motivo_; }

private:
    QString mensaje_;
    QString motivo_;
};

}  // namespace lorum
