#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// The short codes of the tables: four-character fields in which the timetabling program tells
// subjects, tasks, teachers, rooms and groups apart.
namespace toa::exportar {

// A list of used codes: texts compared without regard to letter case, as Windows-1252 letters
// fold ('LENG' = 'leng', 'Ñ' = 'ñ', 'A' != 'Á').
class ListaCodigos {
  public:
    bool contiene(std::string_view texto) const;
    void anadir(std::string_view texto);

  private:
    friend std::string CodigoUnico(std::string_view candidato, std::size_t longitudBase,
                                   ListaCodigos& lista);

    std::unordered_set<std::string> plegados_;
    // Per folded base of a numbered code, the first number not known to be taken: numbers only
    // ever become taken, so a search for the base can start there.
    std::unordered_map<std::string, int> siguienteNumero_;
};

// Codes clash when their stored forms are equal: what a four-character field gives back, the
// first four characters without trailing blanks. The code is the candidate itself when its
// stored form is free; otherwise, for k = 1, 2, 3 ..., the first min(longitudBase, 4 - digits
// of k) characters of the candidate followed by k, the first whose stored form is free. The
// stored form of the code joins the list. An Error when no number up to 9999 is free.
std::string CodigoUnico(std::string_view candidato, std::size_t longitudBase, ListaCodigos& lista);

}  // namespace toa::exportar
