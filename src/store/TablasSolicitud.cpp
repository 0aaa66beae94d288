#include "TablasSolicitud.h"

namespace lorum::tablas {

namespace {

// Amounts carry ten decimals: a unit price is cut to twelve characters ("3.3333333333") and must come
// back as typed; nineteen characters is the widest number dBase III readers accept.
constexpr int kAnchoImporte = 19;
constexpr int kDecimalesImporte = 10;
constexpr int kAnchoClave = 5;  // catalog keys kept in the request tables

}  // namespace

const DefinicionTabla& Empresas() {
    static const DefinicionTabla d = {
        CampoC("RFC", 13),         // 0
        CampoC("RSAPELPAT", 60),   // 1
        CampoC("APELMAT", 30),     // 2
        CampoC("NOMBRE", 30),      // 3
        CampoC("DIRECCION1", 254), // 4
        CampoC("CODIGO_POS", 5),   // 5
        CampoN("ESTADO", kAnchoClave),  // 6
        CampoC("ACREDITA", 12),    // 7
        CampoC("COLONIA", 50),     // 8
        CampoC("DELMUN", 50),      // 9
        CampoC("TELEFONO", 25),    // 10
        CampoC("FAX", 16),         // 11
        CampoC("DIRECCION2", 254), // 12 not written by the program
        CampoC("CIUDAD", 50),      // 13 not written
        CampoC("REP_LEGAL", 20),   // 14
        CampoC("REP_LEGALP", 20),  // 15
        CampoC("REP_LEGALM", 20),  // 16
        CampoC("TELREP", 25),      // 17
        CampoC("CARGO", 40),       // 18
        CampoC("CURP", 18),        // 19 not written
        CampoC("EMAIL", 60),       // 20 not written
        CampoC("REP_RFC", 13),     // 21 not written
        CampoC("REP_CURP", 18),    // 22 not written
        CampoC("LEYENDA", 254),    // 23 not written; printed after the fax
        CampoC("PAIS", 30),        // 24 not written
        CampoC("PAGWEB", 60),      // 25 not written
        CampoC("GIRO", 60),        // 26 not written
        CampoC("NUMEXT", 10),      // 27 not written
        CampoC("NUMINT", 10),      // 28 not written
        CampoC("DMERCANCI", 254),  // 29
    };
    return d;
}

const DefinicionTabla& Lorums() {
    static const DefinicionTabla d = {
        CampoC("RFC", 13),                 // 0
        CampoN("IDTRA", kAnchoClave),      // 1
        CampoN("IDTIPIMPEX", kAnchoClave), // 2
        CampoN("IDDESTINOP", kAnchoClave), // 3
        CampoC("USADO", 1),                // 4
        CampoC("FRACCION", 8),             // 5
        CampoN("IDUM", kAnchoClave),       // 6
        CampoC("RECIF", 6),                // 7
        CampoC("NINGUNO", 1),              // 8
        CampoC("FOLIO", 10),               // 9 not written
        CampoC("TEXTOGIRO", 254),          // 10
        CampoC("USOMERC", 254),            // 11
        CampoC("OBSERVA", 254),            // 12 not written
        CampoC("JUST", 254),               // 13
        CampoC("CAT", 1),                  // 14
        CampoC("FOTO", 1),                 // 15
        CampoC("PLANO", 1),                // 16
        CampoC("OTRO", 1),                 // 17
        CampoC("ESPECIFICA", 254),         // 18
        CampoD("FECHASOL"),                // 19 not written
        CampoC("ESTATUS", 1),              // 20 not written
        CampoC("NUMPERMISO", 20),          // 21 not written
        CampoN("CANTIDAD", kAnchoImporte, kDecimalesImporte),  // 22
        CampoN("VDOLARES", kAnchoImporte, kDecimalesImporte),  // 23
    };
    return d;
}

const DefinicionTabla& Mercanci() {
    static const DefinicionTabla d = {
        CampoN("IDMERC", 10),
        CampoN("PARTIDA", 6),
        CampoC("RFC", 13),
        CampoC("FRACCION", 8),
        CampoC("DESCRIP", 254),
        CampoN("IDUM", kAnchoClave),
        CampoC("UNIDADMED", 30),
        CampoN("CANTIDAD", kAnchoImporte, kDecimalesImporte),
        CampoN("PRECIO", kAnchoImporte, kDecimalesImporte),
        CampoN("TOTALPART", kAnchoImporte, kDecimalesImporte),
    };
    return d;
}

const DefinicionTabla& Lorumpai() {
    static const DefinicionTabla d = {
        CampoC("RFC", 13),
        CampoN("IDPAIS", kAnchoClave),
        CampoC("CVESHCP", 2),
        CampoC("NOMCOMPAI", 50),
    };
    return d;
}

const std::vector<TablaDeSolicitud>& TablasDeSolicitud() {
    static const std::vector<TablaDeSolicitud> t = {
        {kEmpresas, kPlantillaEmpresas, &Empresas()},
        {kLorums, kPlantillaLorums, &Lorums()},
        {kMercanci, kPlantillaMercanci, &Mercanci()},
        {kLorumpai, kPlantillaLorumpai, &Lorumpai()},
    };
    return t;
}

const std::vector<Catalogo>& Catalogos() {
    static const std::vector<Catalogo> c = {
        {QStringLiteral("CATDESTINO.dbf"), QStringLiteral("catdestino.csv"), {CampoN("IDDESTINO", 3), CampoC("NOMDESTINO", 50)}},
        {QStringLiteral("ESTADOS.dbf"), QStringLiteral("estados.csv"), {CampoN("ESTADO", 3), CampoC("NOMBRE", 50)}},
        {QStringLiteral("CATREGIM.dbf"), QStringLiteral("catregim.csv"), {CampoN("IDTIPIMP", 3), CampoC("NOMTIPIMP", 50)}},
        {QStringLiteral("CATTRAM.dbf"), QStringLiteral("cattram.csv"), {CampoN("IDTRA", 3), CampoC("NOMTRA", 60)}},
        {QStringLiteral("CATUM.dbf"), QStringLiteral("catum.csv"), {CampoN("CVE_MED", 3), CampoC("U_MEDIDA", 30)}, true},
        {QStringLiteral("CATPAIS.dbf"), QStringLiteral("catpais.csv"),
         {CampoN("IDPAIS", 3), CampoC("CVESHCP", 2), CampoC("NOMCOMPAI", 50)}},
        {QStringLiteral("CATRFCES.dbf"), QStringLiteral("catrfces.csv"), {CampoC("RFCESP", 13)}},
        {QStringLiteral("catfrac.dbf"), QStringLiteral("catfrac.csv"), {CampoC("FRACCION", 8), CampoC("DESCRIP", 120)}},
    };
    return c;
}

}  // namespace lorum::tablas
