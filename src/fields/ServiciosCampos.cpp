#include "ServiciosCampos.h"

#include "ControlChk.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "EstadoInicia.h"
#include "ServicioMensajes.h"

#include <QLineEdit>

namespace lorum {

QString TipoDeControl(const QWidget* control) {
    if (const auto* campo = qobject_cast<const ControlCampo*>(control)) return campo->Tipo();
    return control->property("lorumTipo").toString();
}

void PreparaCampos(EstadoInicia& estado, const std::vector<QWidget*>& controles) {
    static const QStringList kTipos = {QStringLiteral("ControlTxtMl"), QStringLiteral("ControlChk"),
                                       QStringLiteral("ControldfTxt"), QStringLiteral("ControlLst"),
                                       QStringLiteral("ControlCmb")};
    for (QWidget* control : controles) {
        auto* campo = qobject_cast<ControlCampo*>(control);
        if (!campo || !kTipos.contains(campo->Tipo())) continue;
        estado.colCampos.push_back(campo);
        campo->NombreCampo = campo->objectName();
        campo->setWidthcmb(campo->width());
        campo->Creado();
        campo->Limpia();
        if (auto* texto = qobject_cast<ControldfTxt*>(campo)) texto->setMaxLength(texto->nMaxLen);
        // Screen readers name the field by what it is: as the completeness check does, by its screen
        // caption where that name is an internal one (property "leyenda"), a check field by its box.
        QString nombre = campo->property("leyenda").toString();
        if (auto* chk = qobject_cast<ControlChk*>(campo)) nombre = chk->Check->text().remove(QLatin1Char('&'));
        if (nombre.isEmpty()) nombre = campo->NombreCampo;
        campo->setAccessibleName(nombre);
        campo->Interior()->setAccessibleName(nombre);
        if (auto* cmb = qobject_cast<ControlCmb*>(campo)) cmb->cmbData->lineEdit()->setAccessibleName(nombre);
    }
}

void LimpiaCampos(EstadoInicia& estado, const std::vector<QWidget*>& controles) {
    estado.sFaltantes.clear();
    for (QWidget* control : controles) {
        const QString tipo = TipoDeControl(control);
        if (tipo == QLatin1String("ControlTxtMl") || tipo == QLatin1String("ControlChk") ||
            tipo == QLatin1String("ControldfTxt") || tipo == QLatin1String("ControlCmb")) {
            static_cast<ControlCampo*>(control)->Limpia();
        } else if (tipo == QLatin1String("TextBox")) {
            if (auto* caja = qobject_cast<QLineEdit*>(control)) caja->clear();
        }
    }
}

bool VerificaCampos(EstadoInicia& estado) {
    estado.sFaltantes.clear();
    for (ControlCampo* campo : estado.colCampos) {
        const QString r = campo->VerificaDato(campo->objectName());
        if (r.isEmpty()) continue;
        estado.sFaltantes = estado.sFaltantes.isEmpty() ? r : estado.sFaltantes + QStringLiteral(",\r") + r;
    }
    if (estado.sFaltantes.isEmpty()) return true;
    if (estado.mensajes)
        estado.mensajes->Muestra(QStringLiteral("La siguiente información es requerida: ") + estado.sFaltantes +
                                     QStringLiteral("\r\r"),
                                 QStringLiteral("Dato requerido"), ServicioMensajes::Botones::Aceptar,
                                 ServicioMensajes::Icono::Informacion);
    return false;
}

}  // namespace lorum
