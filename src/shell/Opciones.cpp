#include "Opciones.h"

#include "Intercambio.h"

namespace lorum {

Opciones LeeOpciones(const QStringList& argumentos) {
    Opciones o;
    for (qsizetype i = 1; i < argumentos.size(); ++i) {
        o.version = o.version || argumentos[i] == u"--version";
        o.ayuda = o.ayuda || argumentos[i] == u"--help" || argumentos[i] == u"-h";
    }
    // A folder option without its folder would silently fall back to another folder: refused.
    for (const char* opcion : {"--datos", "--unidad-a"}) {
        const auto valor = ValorDeOpcion(argumentos, QLatin1String(opcion));
        if (valor && valor->trimmed().isEmpty() && o.error.isEmpty())
            o.error = QStringLiteral("lorum: la opción %1 necesita el nombre de una carpeta (%1 CARPETA o %1=CARPETA).\n"
                                     "Use «lorum --help» para ver las opciones.\n")
                          .arg(QLatin1String(opcion));
    }
    return o;
}

QString AyudaDeOpciones() {
    return QStringLiteral(
        "Uso: lorum [opciones]\n"
        "Captura de la Solicitud de Permiso de Importación o Exportación y de Modificaciones.\n"
        "\n"
        "Opciones:\n"
        "  --datos CARPETA      carpeta de la solicitud y de los catálogos (también LORUM_DATOS);\n"
        "                       sin ella, la del programa si es suya y se puede escribir, si no\n"
        "                       ~/.local/share/lorum\n"
        "  --unidad-a CARPETA   carpeta de la unidad de entrega, la «unidad A:» (también\n"
        "                       LORUM_UNIDAD_A); sin ella, /media/floppy\n"
        "  --version            muestra la versión y termina\n"
        "  --help               muestra esta ayuda y termina\n"
        "Cada opción con carpeta se puede escribir también como --opción=CARPETA.\n");
}

}  // namespace lorum
