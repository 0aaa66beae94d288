#pragma once

#include <QString>
#include <ostream>

// GoogleTest prints a failing QString comparison as text, not as bytes.
inline void PrintTo(const QString& texto, std::ostream* salida) { *salida << '"' << texto.toStdString() << '"'; }
