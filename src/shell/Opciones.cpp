#include "Opciones.h"

#include <QCommandLineParser>

namespace lorum {

Opciones LeeOpciones(const QStringList& argumentos) {
    QCommandLineParser lector;
    lector.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);  // Qt's -platform, -style
    const QCommandLineOption datos(QStringLiteral("datos"), {}, QStringLiteral("CARPETA"));
    const QCommandLineOption unidad(QStringLiteral("unidad-a"), {}, QStringLiteral("CARPETA"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption ayuda(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    lector.addOptions({datos, unidad, version, ayuda});
    // Qt's own options are unknown here and left to Qt; only a folder option without its folder is
    // a mistake, as it would silently fall back to another folder.
    const bool leido = lector.parse(argumentos.isEmpty() ? QStringList{QStringLiteral("lorum")} : argumentos);
    Opciones o;
    o.version = lector.isSet(version);
    o.ayuda = lector.isSet(ayuda);
    for (const auto& [opcion, destino] : {std::pair{&datos, &o.datos}, std::pair{&unidad, &o.unidadA}}) {
        const QString nombre = QStringLiteral("--") + opcion->names().front();
        const bool sinValor = !leido && lector.errorText().contains(nombre);
        if (const QStringList valores = lector.values(*opcion); !valores.isEmpty()) *destino = valores.constLast();
        if ((sinValor || (destino->has_value() && (*destino)->trimmed().isEmpty())) && o.error.isEmpty())
            o.error = QStringLiteral("lorum: la opción %1 necesita el nombre de una carpeta (%1 CARPETA o %1=CARPETA).\n"
                                     "Use «lorum --help» para ver las opciones.\n")
                          .arg(nombre);
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
        "                       LORUM_UNIDAD_A); sin ella, la elegida en el programa con «Sistema»\n"
        "                       → «Unidad de entrega...» y, si no se ha elegido, /media/floppy\n"
        "  --version            muestra la versión y termina\n"
        "  --help               muestra esta ayuda y termina\n"
        "Cada opción con carpeta se puede escribir también como --opción=CARPETA.\n");
}

}  // namespace lorum
