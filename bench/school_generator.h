#pragma once
#include <string>

// A large synthetic school for the benchmarks, deterministic for a given scale.
namespace toa::bench {

// The exchange document (UTF-8 text) of a school the way the administration system writes it.
// Scale 1: 150 teachers, 2,000 subject entries, 120 groups in 40 courses, 30 tasks (among them
// "156", "281" and "286"), 60 rooms and 40 intervals; scale n has n times as many of each.
// Codes clash as real ones do: the subjects of every course share their first four characters
// with those of the other courses, teachers' abbreviations with each other's, rooms' and groups'
// names too.
std::string schoolDocument(int scale);

}  // namespace toa::bench
