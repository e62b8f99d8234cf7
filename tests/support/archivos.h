#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

// Files of a test as bytes: what a run must leave byte for byte as it was.
namespace toa::prueba {

std::string leerArchivo(const std::filesystem::path& archivo);
// Creates the folders on the way.
void escribirArchivo(const std::filesystem::path& archivo, std::string_view bytes);
// Every file of a folder (hidden ones too), name to bytes; subfolders are left out.
std::map<std::string, std::string> contenido(const std::filesystem::path& carpeta);

}  // namespace toa::prueba
