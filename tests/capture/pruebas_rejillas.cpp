// The item and country grids from the keyboard and the mouse, on the real form and real tables.
#include "ArranquePrueba.h"
#include "Archivos.h"
#include "Auxiliares.h"
#include "BarraNavegacion.h"
#include "ComandosRejilla.h"
#include "ControlesCatalogo.h"
#include "ControlesTexto.h"
#include "ExportaCsv.h"
#include "RejillaLigada.h"
#include "TablaDbf.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace lorum;
using namespace lorum::prueba;

namespace {

using R = ServicioMensajes::Respuesta;
const QString kFox = QStringLiteral("FoxPro 2.5;");

class Rejillas : public FormaLista {
protected:
    // The keys go where the focus is, as a person's would: the grid, then the cell's editor.
    void Escribe(const QString& texto) {
        for (QChar c : texto) {
            if (c.unicode() < 0x80) QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
            else QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    void Tecla(Qt::Key tecla, Qt::KeyboardModifiers mod = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), tecla, mod);
        QApplication::processEvents();
    }
    // Puts the focus on a cell of a grid, on its page.
    void EnCelda(RejillaLigada* rejilla, int pagina, int fila, int columna) {
        Forma().SSTab1->setCurrentIndex(pagina);
        QApplication::processEvents();
        rejilla->setFocus();
        rejilla->IrA(fila, columna);
        QApplication::processEvents();
    }
    // The table as `lorum-tabla csv` prints it.
    QString Csv(const char* tabla) {
        LectorDbf lector(ResuelveArchivo(dir.path(), QString::fromLatin1(tabla)));
        std::FILE* salida = std::tmpfile();
        ExportaCsv(lector, false, salida);
        std::fflush(salida);
        std::rewind(salida);
        QByteArray texto;
        char trozo[4096];
        for (size_t n; (n = std::fread(trozo, 1, sizeof trozo, salida)) > 0;) texto.append(trozo, qsizetype(n));
        std::fclose(salida);
        return QString::fromUtf8(texto);
    }
    QByteArray Bytes(const char* archivo) { return LeeBytes(dir.filePath(QLatin1String(archivo))); }
    // Country rows written straight to the table, as many as asked.
    void Paises(int cuantos) {
        Cursor c = AbreCursor(dir.path(), kFox, QStringLiteral("lorumpai"));
        for (int i = 0; i < cuantos; ++i) {
            c.AddNew();
            c.SetValor(u"NOMCOMPAI", QStringLiteral("PAÍS %1").arg(i));
            c.Update();
        }
        Forma().dtsPexPais.Refresca();
        Forma().DBGPais->Relee();
    }
};

const char* const kEncabezadoPartidas = "IDMERC,PARTIDA,RFC,FRACCION,DESCRIP,IDUM,UNIDADMED,CANTIDAD,PRECIO,TOTALPART\r\n";

}  // namespace

TEST_F(Rejillas, UnaPartidaTecleadaDeCorridoLlegaAlArchivo) {
    Captura& f = Forma();
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Sin partidas"));
    EnCelda(f.dbProducto, 2, 0, 1);
    Escribe("1");
    Tecla(Qt::Key_Tab);
    Escribe("01011001");
    Tecla(Qt::Key_Tab);
    Escribe("CABALLOS DE RAZA");
    Tecla(Qt::Key_Tab);
    Escribe("PIE");  // the unit list opens under the cell and follows the typing
    ASSERT_TRUE(f.lstUM->isVisible());
    ASSERT_TRUE(f.lstUM->currentItem());
    EXPECT_EQ(f.lstUM->currentItem()->text(), QStringLiteral("PIEZA"));
    Tecla(Qt::Key_Return);
    EXPECT_FALSE(f.lstUM->isVisible());
    Escribe("4");
    Tecla(Qt::Key_Tab);
    Tecla(Qt::Key_Tab);  // Precio: passed over, not edited
    Escribe("10");
    Tecla(Qt::Key_Return);
    EXPECT_TRUE(mensajes.mostrados.empty()) << mensajes.Textos().join(" | ").toStdString();

    EXPECT_EQ(Csv("mercanci.dbf"), QString::fromLatin1(kEncabezadoPartidas) +
                                       QStringLiteral(",1,,01011001,CABALLOS DE RAZA,6,PIEZA,4,2.5,10\r\n"));
    EXPECT_EQ(f.Text1->text(), QStringLiteral("4"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("10"));
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 1 de 1"));
    EXPECT_EQ(f.dbProducto->modelo()->rowCount(), 2) << "the new-row line is offered again";

    // A second item: the totals and the counter follow.
    EnCelda(f.dbProducto, 2, 1, 7);
    Escribe("3");
    Tecla(Qt::Key_Tab);
    Tecla(Qt::Key_Tab);
    Escribe("10");
    Tecla(Qt::Key_Return);
    EXPECT_EQ(f.Text1->text(), QStringLiteral("7"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("20"));
    EXPECT_EQ(f.dbProducto->modelo()->Valor(1, 8).toDouble(), 3.3333333333);
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 2 de 2"));
    f.dbProducto->IrA(0);
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 1 de 2"));
}

TEST_F(Rejillas, CeldasMalasSeAvisanYSeVacian) {
    Captura& f = Forma();
    const struct {
        int columna;
        const char* tecleado;
        const char* mensaje;
    } casos[] = {
        {3, "1234567", "La longitud de la fracción sólo puede ser de 8 digitos.  Rectifica por favor"},
        {3, "1234567A", "Debes ingresar números en este campo. Rectifica por favor"},
        {7, "ABC", "Debes ingresar números en este campo. Rectifica por favor"},
        {8, "X", "Debes ingresar números en este campo. Rectifica por favor"},
    };
    EnCelda(f.dbProducto, 2, 0, 1);
    Escribe("5");
    Tecla(Qt::Key_Return);
    for (const auto& k : casos) {
        EnCelda(f.dbProducto, 2, 0, k.columna);
        mensajes.Responde(R::Aceptar);
        Escribe(QString::fromLatin1(k.tecleado));
        Tecla(Qt::Key_Return);
        ASSERT_FALSE(mensajes.mostrados.empty()) << k.tecleado;
        EXPECT_EQ(mensajes.mostrados.back().texto, QString::fromUtf8(k.mensaje));
        EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("LORUM"));
        EXPECT_EQ(mensajes.mostrados.back().icono, ServicioMensajes::Icono::Exclamacion);
        EXPECT_FALSE(AbreCursor(dir.path(), kFox, QStringLiteral("mercanci")).Valor(k.columna).isValid()) << k.tecleado;
        EXPECT_EQ(f.dbProducto->Texto(k.columna), QString()) << k.tecleado;
    }
    // A value the table cannot hold is refused with the engine's message; the file is untouched.
    const QByteArray antes = Bytes("mercanci.dbf");
    for (const auto& [columna, texto] : {std::pair{1, "1234567"}, {4, "10 €"}}) {
        EnCelda(f.dbProducto, 2, 0, columna);
        mensajes.Responde(R::Aceptar);
        Escribe(QString::fromUtf8(texto));
        Tecla(Qt::Key_Return);
        EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("mercanci.dbf"))) << mensajes.mostrados.back().texto.toStdString();
        EXPECT_EQ(Bytes("mercanci.dbf"), antes) << texto;
        EXPECT_EQ(f.dbProducto->modelo()->Valor(0, 1).toDouble(), 5.0) << "the row keeps its old value";
    }
    // The table gone behind the program's back: the engine's message, and the program goes on.
    QFile::remove(dir.filePath("mercanci.dbf"));
    EnCelda(f.dbProducto, 2, 0, 4);
    mensajes.Responde(R::Aceptar);
    Escribe("X");
    Tecla(Qt::Key_Return);
    EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("mercanci.dbf")));
    EXPECT_TRUE(mensajes.SinRespuestasPendientes());
}

TEST_F(Rejillas, LaListaDeUnidadesPorTecladoYPorDobleClic) {
    Captura& f = Forma();
    EnCelda(f.dbProducto, 2, 0, 4);
    Escribe("ALGO");
    Tecla(Qt::Key_Return);
    EnCelda(f.dbProducto, 2, 0, 6);

    // A screen reader hears the grid by its caption, a column by its heading, the list by its name.
    QAccessibleInterface* rejilla = QAccessible::queryAccessibleInterface(f.dbProducto);
    EXPECT_EQ(rejilla->text(QAccessible::Name), QStringLiteral("Partidas de mercancía"));
    EXPECT_EQ(rejilla->tableInterface()->columnDescription(6), QStringLiteral("Unidad de Medida"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f.lstUM)->text(QAccessible::Name), QStringLiteral("Unidades de medida"));

    // Alt+Down opens the list and takes the keyboard; Down and Enter take the second unit.
    Tecla(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(f.lstUM->isVisible());
    EXPECT_EQ(f.lstUM->count(), 21);
    EXPECT_TRUE(f.lstUM->hasFocus());
    EXPECT_EQ(f.lstUM->geometry().top(), f.dbProducto->RectCelda(0, 6, &f).bottom() + 1) << "just under the cell";
    Tecla(Qt::Key_Down);
    Tecla(Qt::Key_Return);
    EXPECT_FALSE(f.lstUM->isVisible());
    Cursor m = AbreCursor(dir.path(), kFox, QStringLiteral("mercanci"));
    EXPECT_EQ(m.Valor(u"UNIDADMED").toString(), QStringLiteral("GRAMO"));
    EXPECT_EQ(m.Valor(u"IDUM").toDouble(), 2.0);
    EXPECT_EQ(m.Valor(u"DESCRIP").toString(), QStringLiteral("ALGO")) << "the description is untouched";

    // F4 opens it, Escape drops it and nothing changes.
    Tecla(Qt::Key_F4);
    ASSERT_TRUE(f.lstUM->isVisible());
    Tecla(Qt::Key_Escape);
    EXPECT_FALSE(f.lstUM->isVisible());
    // A typed text that names no unit keeps the row's unit.
    Escribe("ZZZ");
    Tecla(Qt::Key_Return);
    EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("mercanci")).Valor(u"UNIDADMED").toString(), QStringLiteral("GRAMO"));

    // A double click takes the unit.
    f.dbProducto->IrA(0, 6);
    Tecla(Qt::Key_F4);
    QListWidgetItem* pieza = f.lstUM->findItems(QStringLiteral("PIEZA"), Qt::MatchExactly).front();
    f.lstUM->setCurrentItem(pieza);
    emit f.lstUM->itemDoubleClicked(pieza);
    EXPECT_FALSE(f.lstUM->isVisible());
    EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("mercanci")).Valor(u"IDUM").toDouble(), 6.0);
    EXPECT_TRUE(mensajes.mostrados.empty());
}

TEST_F(Rejillas, PaisesSeEligenDeLaListaConSusReglas) {
    Captura& f = Forma();
    // Typing into the country column never changes it: the picker opens under the cell.
    EnCelda(f.DBGPais, 4, 0, 3);
    Escribe("A");
    ASSERT_TRUE(f.LstPais->isVisible());
    EXPECT_TRUE(f.LstPais->LstData->hasFocus());
    f.LstPais->LstData->setCurrentRow(1);  // ALBANIA
    Tecla(Qt::Key_Return);
    EXPECT_FALSE(f.LstPais->isVisible());
    EXPECT_TRUE(f.DBGPais->hasFocus());
    EXPECT_EQ(Csv("lorumpai.dbf"), QStringLiteral("RFC,IDPAIS,CVESHCP,NOMCOMPAI\r\nPEGJ800101AB1,8,AL,ALBANIA\r\n"));

    // A double click on a country already chosen is refused; Enter adds it again.
    EnCelda(f.DBGPais, 4, 1, 3);
    Tecla(Qt::Key_F4);
    ASSERT_TRUE(f.LstPais->isVisible());
    f.LstPais->LstData->setCurrentRow(1);
    mensajes.Responde(R::Aceptar);
    emit f.LstPais->DblClick();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("Ya eligió ALBANIA"));
    EXPECT_EQ(mensajes.mostrados.back().titulo, QStringLiteral("Dato requerido"));
    EXPECT_TRUE(f.LstPais->isVisible()) << "the picker stays open";
    EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("lorumpai")).RecordCount(), 1);
    f.LstPais->LstData->setFocus();
    Tecla(Qt::Key_Return);
    EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("lorumpai")).RecordCount(), 2);
    // The picker opens on the cell's country; Escape leaves the row as it was.
    EnCelda(f.DBGPais, 4, 0, 3);
    Tecla(Qt::Key_F4);
    EXPECT_EQ(f.LstPais->LstData->currentItem()->text(), QStringLiteral("ALBANIA"));
    Tecla(Qt::Key_Escape);
    EXPECT_FALSE(f.LstPais->isVisible());

    // The code must have two characters; the typed text stays.
    EnCelda(f.DBGPais, 4, 0, 2);
    mensajes.Responde(R::Aceptar);
    Escribe("A");
    Tecla(Qt::Key_Return);
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("La clave del país debe ser de 2 dígitos"));
    EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("lorumpai")).Valor(u"CVESHCP").toString(), QStringLiteral("A"));
}

TEST_F(Rejillas, ElLimiteDePaisesYTodosLosPaises) {
    Captura& f = Forma();
    Paises(298);
    EXPECT_TRUE(f.DBGPais->modelo()->permiteAgregar()) << "298";
    Paises(1);
    EXPECT_TRUE(f.DBGPais->modelo()->permiteAgregar()) << "299: one more may be added";
    EnCelda(f.DBGPais, 4, 299, 3);
    Tecla(Qt::Key_F4);
    Tecla(Qt::Key_Return);
    EXPECT_EQ(AbreCursor(dir.path(), kFox, QStringLiteral("lorumpai")).RecordCount(), 300);
    EXPECT_FALSE(f.DBGPais->modelo()->permiteAgregar()) << "300: no new row";
    EXPECT_EQ(f.DBGPais->Row(), 299) << "the last record is current";
    mensajes.Responde(R::Si);
    BorraSeleccion(*f.DBGPais, f.dtsPexPais, mensajes);
    EXPECT_TRUE(f.DBGPais->modelo()->permiteAgregar()) << "a deletion frees a row";

    // "Todos los paises": No leaves all as it was; a failed copy says so and keeps the button.
    const QByteArray antes = Bytes("lorumpai.dbf");
    mensajes.Responde(R::No);
    f.Command1->click();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿Desea introducir todos los paises?"));
    EXPECT_EQ(Bytes("lorumpai.dbf"), antes);
    const QByteArray todos = Bytes("TLORUMPAI.dbf");
    EscribeBytes(dir.filePath("TLORUMPAI.dbf"), todos.left(40));
    mensajes.Responde(R::Si);
    mensajes.Responde(R::Aceptar);
    f.Command1->click();
    EXPECT_TRUE(mensajes.mostrados.back().texto.contains(QStringLiteral("TLORUMPAI.dbf"))) << mensajes.mostrados.back().texto.toStdString();
    EXPECT_EQ(Bytes("lorumpai.dbf"), antes);
    EXPECT_TRUE(f.Command1->isEnabled());
    EscribeBytes(dir.filePath("TLORUMPAI.dbf"), todos);
    mensajes.Responde(R::Si);
    f.Command1->click();
    EXPECT_EQ(Bytes("lorumpai.dbf"), todos);
    EXPECT_FALSE(f.Command1->isEnabled());
    EXPECT_EQ(f.DBGPais->modelo()->NumRegistros(), 249);
}

TEST_F(Rejillas, BorrarPartidasRetotalizaYDescuenta) {
    Captura& f = Forma();
    Cursor m = AbreCursor(dir.path(), kFox, QStringLiteral("mercanci"));
    for (const auto& [cantidad, total] : {std::pair{2.0, 10.5}, {3.0, 4.0}, {5.0, 1.0}}) {
        m.AddNew();
        m.SetValor(u"CANTIDAD", cantidad);
        m.SetValor(u"TOTALPART", total);
        m.Update();
    }
    f.dtsMercancia.Refresca();
    f.dbProducto->Relee();
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 1 de 3"));
    EnCelda(f.dbProducto, 2, 2, 1);
    mensajes.Responde(R::Si);
    Ventana().Accion(QStringLiteral("mnutablaaduborra"))->trigger();
    EXPECT_EQ(mensajes.mostrados.back().texto, QStringLiteral("¿ Confirma la eliminación del registro actual ?"));
    EXPECT_EQ(f.Text1->text(), QStringLiteral("5"));
    EXPECT_EQ(f.Text2->text(), QStringLiteral("14.5"));
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 1 de 2"));
    f.dbProducto->IrA(1);
    EXPECT_EQ(f.NavegadorMercancia->Caption(), QStringLiteral("Partida: 2 de 2"));
}
