// Texts at the edges of the number reading, for the random databases of the equivalence
// test and for the value rendering test.
#pragma once

#include <string>
#include <vector>

namespace tomo::testing {

// clang-format off
inline const std::vector<std::string> kNumberTexts = {
    "100", "101", "102", "103", "99", "98", "97",                        // options around 99
    "0.5", "1.5", "2.5", "100.5", "98.5", ".6", " \t0.6", "-1", "+1",   // halves, signs
    "&H65", "&h64", "&O144", "&q145", "&144", "&B1100110",               // prefixed integers
    "1D2", "1.01e+2", "1e400", "-1e400", "1e-310",                       // exponents
    "100.49999999999999999", "0.50000000000000001",                      // read as halves
    "1.7976931348623159e308", "2.4703282292062328e-324"};                // a double's limits
// clang-format on

}  // namespace tomo::testing
