#pragma once

#include "Campo.h"
#include "Cursor.h"
#include "TablaDbf.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace lorum::prueba {

// Symbolic links and signals are POSIX's: cases that need them skip themselves on Windows.
inline constexpr bool kPosix = LORUM_PRUEBAS_POSIX;

inline QByteArray LeeBytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void EscribeBytes(const QString& ruta, const QByteArray& bytes) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// A fresh temporary directory for one test, with a small table maker.
class DirectorioPrueba : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Ruta(const QString& nombre) const { return dir_.filePath(nombre); }
    QString Dir() const { return dir_.path(); }

    // Creates NOMBRE with fields (C 10 NOMBRE, N 8.2 IMPORTE, N 3 CLAVE) and the given records.
    QString TablaSimple(const QString& nombre, const std::vector<std::tuple<QString, double, int>>& filas) {
        const QString ruta = Ruta(nombre);
        TablaDbf::Crea(ruta, {CampoC("NOMBRE", 10), CampoN("IMPORTE", 8, 2), CampoN("CLAVE", 3)});
        Cursor c(TablaDbf::Abre(ruta));
        for (const auto& [texto, importe, clave] : filas) {
            c.AddNew();
            c.SetValor(u"NOMBRE", texto);
            c.SetValor(u"IMPORTE", importe);
            c.SetValor(u"CLAVE", clave);
            c.Update();
        }
        return ruta;
    }

    QTemporaryDir dir_;
};

}  // namespace lorum::prueba
