#ifndef BINARIO_AUTHORING_STARTER_STARTER_H_
#define BINARIO_AUTHORING_STARTER_STARTER_H_

// The pair of description files binario new writes for an author to start from: a line of
// 8 km with one record of each kind and one train on it, each record explained by a comment
// line the reader passes over. They read without a single diagnostic.

#include <string>

namespace binario::authoring {

// The line description, Windows-1252 (plain ASCII) with CR LF line ends.
std::string starter_line_description();

// The train description for train `numero_treno` on that line.
std::string starter_train_description(const std::string& numero_treno);

}  // namespace binario::authoring

#endif  // BINARIO_AUTHORING_STARTER_STARTER_H_
