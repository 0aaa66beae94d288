#pragma once

#include <functional>

namespace lorum {

// The points between the steps of an operation that writes more than one file, where a kill or a
// power cut may fall. Tests install a function that ends the process at the k-th point reached, to
// check that every cut leaves one whole request; in the program it is empty and costs nothing.
void FijaPuntoDeCorte(std::function<void()> alCortar);
void PuntoDeCorte();

}  // namespace lorum
