#include "DocumentoRtf.h"

#include <QFile>
#include <QFont>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

QT_BEGIN_NAMESPACE
Q_GUI_EXPORT int qt_defaultDpi();  // what QTextDocument's layout scales fixed lengths from
QT_END_NAMESPACE

namespace lorum {

namespace {

QFont::StyleHint Pista(FamiliaRtf f) {
    switch (f) {
        case FamiliaRtf::Romana:
            return QFont::Serif;
        case FamiliaRtf::Suiza:
            return QFont::SansSerif;
        case FamiliaRtf::Fija:
            return QFont::TypeWriter;
        case FamiliaRtf::Manuscrita:
            return QFont::Cursive;
        case FamiliaRtf::Decorativa:
            return QFont::Decorative;
        default:
            return QFont::AnyStyle;
    }
}

Qt::Alignment Alineacion(AlineacionRtf a) {
    switch (a) {
        case AlineacionRtf::Centro:
            return Qt::AlignHCenter;
        case AlineacionRtf::Derecha:
            return Qt::AlignRight;
        case AlineacionRtf::Justificada:
            return Qt::AlignJustify;
        default:
            return Qt::AlignLeft;
    }
}

}  // namespace

int ResolucionDeTexto() {
    return qt_defaultDpi();
}

void LlenaDocumento(QTextDocument& documento, const DocumentoRtf& rtf, double puntosPorPulgada,
                    double horizontal) {
    if (horizontal <= 0) horizontal = puntosPorPulgada;
    const auto px = [puntosPorPulgada](int twips) { return twips * puntosPorPulgada / 1440.0; };
    const auto pxH = [horizontal](int twips) { return twips * horizontal / 1440.0; };
    documento.clear();
    QTextCursor c(&documento);
    c.beginEditBlock();
    bool primero = true;
    for (const ParrafoRtf& p : rtf.parrafos) {
        QTextBlockFormat bloque;
        bloque.setAlignment(Alineacion(p.alineacion));
        bloque.setLeftMargin(pxH(p.sangriaIzq));
        bloque.setRightMargin(pxH(p.sangriaDer));
        bloque.setTextIndent(pxH(p.primeraLinea));
        bloque.setTopMargin(px(p.espacioAntes));
        bloque.setBottomMargin(px(p.espacioDespues));
        // A hanging paragraph's first tab goes to its indent, as word processors place it.
        QList<int> paradas = p.tabuladores;
        if (p.primeraLinea < 0 && p.sangriaIzq > 0 && !paradas.contains(p.sangriaIzq))
            paradas.append(p.sangriaIzq);
        std::sort(paradas.begin(), paradas.end());
        QList<QTextOption::Tab> tabs;
        for (int t : paradas) tabs.append(QTextOption::Tab(px(t), QTextOption::LeftTab));
        bloque.setTabPositions(tabs);
        if (primero)
            c.setBlockFormat(bloque);
        else
            c.insertBlock(bloque);
        primero = false;
        for (const TramoRtf& t : p.tramos) {
            QTextCharFormat f;
            if (!t.fuente.isEmpty()) f.setFontFamilies({t.fuente});
            f.setFontStyleHint(Pista(t.familia));
            f.setFontPointSize(t.medioPuntos / 2.0);
            f.setFontWeight(t.negrita ? QFont::Bold : QFont::Normal);
            f.setFontItalic(t.cursiva);
            f.setFontUnderline(t.subrayado);
            c.insertText(t.texto, f);
        }
    }
    c.endEditBlock();
}

DocumentoRtf LeeArchivoRtf(const QString& ruta) {
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return LeeRtf(f.readAll());
}

}  // namespace lorum
