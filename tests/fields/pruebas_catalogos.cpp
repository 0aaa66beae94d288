#include "Auxiliares.h"
#include "ControlesCatalogo.h"
#include "MensajesGuionados.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

using namespace lorum;
using namespace lorum::prueba;

namespace {

class Catalogos : public DirectorioPrueba {
protected:
    // A states catalog: ESTADO N 3, NOMBRE C 40.
    void CreaEstados(int n) {
        const QString ruta = Ruta("ESTADOS.dbf");
        TablaDbf::Crea(ruta, {CampoN("ESTADO", 5), CampoC("NOMBRE", 40)});
        Cursor c(TablaDbf::Abre(ruta));
        for (int i = 1; i <= n; ++i) {
            c.AddNew();
            c.SetValor(u"ESTADO", i);
            c.SetValor(u"NOMBRE", QStringLiteral("ESTADO %1").arg(i));
            c.Update();
        }
    }
    template <typename T>
    void Configura(T& control, const QString& lista) {
        control.Connect = QStringLiteral("FoxPro 2.5;");
        control.DatabaseName = Dir();
        control.RecordSource = QStringLiteral("ESTADOS");
        control.DataField = QStringLiteral("NOMBRE");
        control.sListaCampos = lista;
        control.PonMensajes(&mensajes);
        control.Llenadato();
    }
    MensajesGuionados mensajes;
};

}  // namespace

TEST(Catalogo, ReglaDeDivisionDeLaListaDeColumnas) {
    const struct {
        const char* lista;
        std::array<const char*, 5> esperado;
    } casos[] = {
        {"NOMBRE,ESTADO,NOMBRE", {"NOMBRE", "ESTADO", "NOMBRE", "", ""}},
        {"IDTRA", {"IDTRA", "", "", "", ""}},
        {"A,B,C,D,E", {"A", "B", "C", "D", "E"}},
        {"A,B,C,D,E,F", {"A", "B", "C", "D", "E,F"}},
        {"", {"", "", "", "", ""}},
    };
    for (const auto& c : casos) {
        const auto nombres = ControlCatalogo::Divide(QString::fromLatin1(c.lista));
        for (size_t j = 0; j < 5; ++j) EXPECT_EQ(nombres[j], QLatin1String(c.esperado[j])) << c.lista << " " << j;
    }
}

TEST_F(Catalogos, LlenaEligeYLeeLlaves) {
    CreaEstados(12);
    ControlCmb cmb;
    Configura(cmb, QStringLiteral("NOMBRE,ESTADO,NOMBRE"));
    ASSERT_EQ(cmb.cmbData->count(), 12);
    EXPECT_EQ(cmb.cmbData->itemText(1), QStringLiteral("ESTADO 2"));  // record order, not sorted
    cmb.Limpia();
    EXPECT_EQ(cmb.nLista, -1);

    int clics = 0;
    QObject::connect(&cmb, &ControlCampo::Click, [&] { ++clics; });
    cmb.setDatoTxt(2);
    cmb.EligeCampo();
    EXPECT_EQ(cmb.nLista, 1);
    EXPECT_EQ(clics, 1);
    qint16 columna = 1;
    EXPECT_EQ(cmb.GetNumLlave(columna), 2);
    columna = 2;
    EXPECT_EQ(cmb.GetStrLlave(columna), QStringLiteral("ESTADO 2"));

    // "02" is not "2": the key is compared exactly, and the choice stays.
    cmb.setDatoTxt(QStringLiteral("02"));
    cmb.EligeCampo();
    EXPECT_EQ(cmb.nLista, 1);
    // Any column matches: a name finds its entry.
    cmb.setDatoTxt(QStringLiteral("ESTADO 11"));
    cmb.EligeCampo();
    EXPECT_EQ(cmb.nLista, 10);
    cmb.setDatoTxt(QVariant());
    cmb.EligeCampo();
    EXPECT_EQ(cmb.nLista, 10);

    // Arrow keys choose the next entry, as the drop-down does.
    cmb.cmbData->setFocus();
    QTest::keyClick(cmb.cmbData, Qt::Key_Down);
    EXPECT_EQ(cmb.nLista, 11);
    EXPECT_EQ(clics, 3);

    // Typing clears the choice even when the text equals an entry, and neither Enter nor leaving
    // the field makes the typed text a choice.
    cmb.cmbData->setFocus();
    cmb.cmbData->lineEdit()->clear();
    QTest::keyClicks(cmb.cmbData->lineEdit(), QStringLiteral("ESTADO 3"));
    QTest::keyClick(cmb.cmbData->lineEdit(), Qt::Key_Return);
    emit cmb.cmbData->lineEdit()->editingFinished();
    EXPECT_EQ(cmb.nLista, -1);
    EXPECT_EQ(clics, 3);
    EXPECT_EQ(cmb.Text(), QStringLiteral("ESTADO 3"));
    columna = 1;
    EXPECT_EQ(cmb.GetStrLlave(columna), QString());
    EXPECT_EQ(cmb.GetNumLlave(columna), 0);
    cmb.bAceptaNulos = false;
    cmb.NombreCampo = QStringLiteral("Estados");
    EXPECT_EQ(cmb.VerificaDato(), QString());  // a typed text passes the check
    cmb.Limpia();
    EXPECT_EQ(cmb.VerificaDato(), QStringLiteral("Estados"));

    // With no choice no entry is current: the first Down chooses the first entry, also right after
    // the picker was filled.
    for (bool recienLleno : {false, true}) {
        if (recienLleno) cmb.Llenadato();
        QTest::keyClick(cmb.cmbData, Qt::Key_Down);
        EXPECT_EQ(cmb.nLista, 0) << recienLleno;
        EXPECT_EQ(cmb.Text(), QStringLiteral("ESTADO 1"));
        cmb.Limpia();
    }

    // An entry taken from the open list is a choice; the list, built when first opened, bears the
    // field's name for screen readers.
    cmb.cmbData->lineEdit()->setAccessibleName(QStringLiteral("Estado"));
    cmb.cmbData->showPopup();
    EXPECT_EQ(cmb.cmbData->view()->accessibleName(), QStringLiteral("Estado"));
    cmb.cmbData->view()->setCurrentIndex(cmb.cmbData->model()->index(4, 0));
    QTest::keyClick(cmb.cmbData->view(), Qt::Key_Return);
    EXPECT_EQ(cmb.nLista, 4);
    EXPECT_EQ(cmb.Text(), QStringLiteral("ESTADO 5"));
    // Escape while the list is open keeps the choice held before it opened.
    cmb.cmbData->showPopup();
    QTest::keyClick(cmb.cmbData->view(), Qt::Key_Down);
    QTest::keyClick(cmb.cmbData->view(), Qt::Key_Down);
    QTest::keyClick(cmb.cmbData->view(), Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(cmb.nLista, 4);
    EXPECT_EQ(cmb.Text(), QStringLiteral("ESTADO 5"));
}

TEST_F(Catalogos, LaListaReportaElRenglonCeroHastaQueSeLeHaceClick) {
    CreaEstados(3);
    ControlLst lst;
    Configura(lst, QStringLiteral("ESTADO,NOMBRE"));
    ASSERT_EQ(lst.LstData->count(), 3);
    EXPECT_EQ(lst.LstData->item(2)->text(), QStringLiteral("ESTADO 3"));  // the last column is shown
    qint16 columna = 0;
    EXPECT_EQ(lst.GetNumLlave(columna), 1);
    lst.setDatoTxt(3);
    lst.EligeCampo();
    EXPECT_EQ(lst.nLista, 0);  // only highlighted
    lst.ClickOperacion();
    EXPECT_EQ(lst.nLista, 2);
    EXPECT_EQ(lst.GetNumLlave(columna), 3);
    lst.Limpia();
    EXPECT_EQ(lst.nLista, 2);
    EXPECT_EQ(lst.Text(), QString());
}

TEST_F(Catalogos, UnCatalogoVacioYUnoQueExcedeLaCapacidad) {
    CreaEstados(0);
    ControlCmb vacio;
    Configura(vacio, QStringLiteral("ESTADO,NOMBRE"));
    EXPECT_EQ(vacio.cmbData->count(), 0);
    EXPECT_EQ(vacio.UltimoRenglon(), 0);
    vacio.setDatoTxt(1);
    vacio.EligeCampo();
    EXPECT_EQ(vacio.nLista, 0);

    CreaEstados(1005);
    ControlCmb lleno;
    mensajes.Responde(ServicioMensajes::Respuesta::Aceptar);
    Configura(lleno, QStringLiteral("ESTADO,NOMBRE"));
    EXPECT_EQ(lleno.cmbData->count(), 1001);
    EXPECT_EQ(lleno.UltimoRenglon(), 1000);
    ASSERT_EQ(mensajes.mostrados.size(), 1u);
    EXPECT_TRUE(mensajes.mostrados[0].texto.contains(QStringLiteral("1001"))) << mensajes.mostrados[0].texto.toStdString();

    ControlLst lista;
    Configura(lista, QStringLiteral("ESTADO,NOMBRE"));  // 2001 fit: no message
    EXPECT_EQ(lista.LstData->count(), 1005);
}
