#include "stops.h"

#include <algorithm>

const OrganStop montre16{"Montre8", -12, 0.0, "Montre 16'"};
const OrganStop montre8{"Montre8", 0, 0.0, "Montre 8'"};
const OrganStop prestant4{"Montre8", 12, 2.0, "Prestant 4'"};
const OrganStop doublette2{"Montre8", 24, 4.0, "Doublette 2'"};
const OrganStop fourniture{"Montre8", 31, 7.0, "Fourniture 1 1/3'"};
const OrganStop cymbale{"Montre8", 36, 8.0, "Cymbale 1'"};
const OrganStop bourdon16{"Bourdon8", -12, 2.0, "Bourdon 16'"};
const OrganStop bourdon8{"Bourdon8", 0, 0.0, "Bourdon 8'"};
const OrganStop fluteDouce4{"Bourdon8", 12, 2.0, "Flûte douce 4'"};
const OrganStop nasard{"Bourdon8", 19, 4.0, "Nasard 2 2/3'"};
const OrganStop fluteHarm8{"FlHarm8", 0, 0.0, "Flûte harmonique 8'"};
const OrganStop fluteOct4{"FlHarm8", 12, 2.0, "Flûte octaviante 4'"};
const OrganStop gambe8{"Gamba8", 0, 0.0, "Gambe 8'"};
const OrganStop hautbois8{"Hautbois8", 0, 0.0, "Hautbois 8'"};
const OrganStop bombarde16{"Trompette8", -12, 4.0, "Bombarde 16'"};
const OrganStop trompette8{"Trompette8", 0, 0.0, "Trompette 8'"};
const OrganStop clairon4{"Trompette8", 12, 3.0, "Clairon 4'"};
const OrganStop octavin2{"Octavin2", 24, 2.0, "Octavin 2'"};
const OrganStop tierce{"Octavin2", 28, 5.0, "Tierce 1 3/5'"};

const std::vector<const OrganStop*>& organStops() {
    static const std::vector<const OrganStop*> all = {
        &montre16,   &montre8,     &prestant4, &doublette2, &fourniture, &cymbale, &bourdon16,
        &bourdon8,   &fluteDouce4, &nasard,    &fluteHarm8, &fluteOct4,  &gambe8,  &hautbois8,
        &bombarde16, &trompette8,  &clairon4,  &octavin2,   &tierce};
    return all;
}

namespace {

std::vector<OrganProgram> makePrograms() {
    std::vector<OrganProgram> p;
    // The pedal never changes.
    p.push_back({0, "Pedal 16 8", {&bourdon16, &montre8, &bourdon8}});

    // Swell: soft flutes and string, then 4' and 2', the oboe, the trumpets.
    p.push_back({10, "Sw Bourdon 8", {&bourdon8}});
    p.push_back({11, "Sw Gambe 8", {&gambe8}});
    p.push_back({12, "Sw Bourdon Gambe", {&bourdon8, &gambe8}});
    p.push_back({13, "Sw Bourdon Octavin", {&bourdon8, &octavin2}});
    p.push_back({20, "Sw Flutes 8 4", {&bourdon8, &fluteOct4}});
    p.push_back({21, "Sw Gambe Flute 4", {&gambe8, &fluteOct4}});
    p.push_back({22, "Sw Fonds 8 4", {&bourdon8, &gambe8, &fluteOct4}});
    p.push_back({23, "Sw Flutes 16 8 4", {&bourdon16, &bourdon8, &fluteOct4}});
    p.push_back({30, "Sw Hautbois Bourdon", {&hautbois8, &bourdon8}});
    p.push_back({31, "Sw Hautbois Gambe", {&hautbois8, &gambe8}});
    p.push_back({32, "Sw Hautbois 8 4", {&hautbois8, &bourdon8, &fluteOct4}});
    p.push_back({33, "Sw Hautbois 8 4 2", {&hautbois8, &bourdon8, &fluteOct4, &octavin2}});
    p.push_back({40, "Sw Fonds 8 4 2", {&bourdon8, &gambe8, &fluteOct4, &octavin2}});
    p.push_back({41, "Sw Hautbois Fonds", {&hautbois8, &bourdon8, &gambe8, &fluteOct4}});
    p.push_back({42, "Sw Fonds 16 8 4 2", {&bourdon16, &bourdon8, &gambe8, &fluteOct4, &octavin2}});
    p.push_back({43, "Sw Trompette 8", {&trompette8, &bourdon8}});
    p.push_back({50, "Sw Trompette 8 4", {&trompette8, &bourdon8, &fluteOct4}});
    p.push_back({51, "Sw Anches Fonds", {&trompette8, &hautbois8, &gambe8, &fluteOct4}});
    p.push_back(
        {52, "Sw Trompette 8 4 2", {&trompette8, &bourdon8, &gambe8, &fluteOct4, &octavin2}});
    p.push_back(
        {53, "Sw Anches 16 8 4", {&bourdon16, &trompette8, &hautbois8, &bourdon8, &fluteOct4}});
    p.push_back({60,
                 "Sw Plein 8 4 2",
                 {&trompette8, &hautbois8, &bourdon8, &gambe8, &fluteOct4, &octavin2}});
    p.push_back(
        {61, "Sw Tromp Clairon", {&trompette8, &clairon4, &bourdon8, &fluteOct4, &octavin2}});
    p.push_back({62,
                 "Sw Tutti 16",
                 {&bourdon16, &trompette8, &clairon4, &bourdon8, &fluteOct4, &octavin2}});
    p.push_back({63,
                 "Sw Bombarde Tutti",
                 {&bombarde16, &trompette8, &clairon4, &hautbois8, &bourdon8, &fluteOct4}});

    // Great: flutes and principal, the principal chorus, cornet and mixtures, the reeds.
    p.push_back({70, "Gt Flute harm 8", {&fluteHarm8}});
    p.push_back({71, "Gt Montre 8", {&montre8}});
    p.push_back({72, "Gt Flutes 8 4", {&fluteHarm8, &fluteDouce4}});
    p.push_back({73, "Gt Montre Flute 8", {&montre8, &fluteHarm8}});
    p.push_back({80, "Gt Montre Prestant", {&montre8, &prestant4}});
    p.push_back({81, "Gt Flutes 8 8 4", {&fluteHarm8, &bourdon8, &fluteDouce4}});
    p.push_back({82, "Gt Fonds 8 4", {&montre8, &fluteHarm8, &prestant4}});
    p.push_back({83, "Gt Fonds 16 8", {&bourdon16, &montre8, &fluteHarm8}});
    p.push_back({90, "Gt Principaux 8 4 2", {&montre8, &fluteHarm8, &prestant4, &doublette2}});
    p.push_back({91, "Gt Nasard", {&montre8, &bourdon8, &fluteDouce4, &nasard}});
    p.push_back({92, "Gt Fonds 16 8 4", {&bourdon16, &montre8, &fluteHarm8, &prestant4}});
    p.push_back({93, "Gt Principaux 16 2", {&bourdon16, &montre8, &prestant4, &doublette2}});
    p.push_back(
        {100, "Gt Fonds 16 8 4 2", {&bourdon16, &montre8, &fluteHarm8, &prestant4, &doublette2}});
    p.push_back(
        {101, "Gt Cornet", {&montre8, &bourdon8, &fluteDouce4, &nasard, &octavin2, &tierce}});
    p.push_back({102, "Gt Plein jeu", {&montre8, &prestant4, &doublette2, &fourniture, &cymbale}});
    p.push_back({103, "Gt Trompette Fonds", {&trompette8, &montre8, &fluteHarm8}});
    p.push_back(
        {110, "Gt Fonds Trompette", {&trompette8, &montre8, &fluteHarm8, &prestant4, &doublette2}});
    p.push_back({111,
                 "Gt Plein jeu 16",
                 {&bourdon16, &montre8, &prestant4, &doublette2, &fourniture, &cymbale}});
    p.push_back(
        {112, "Gt Trompette 16 8 4", {&trompette8, &bourdon16, &montre8, &fluteHarm8, &prestant4}});
    p.push_back({113, "Gt Tromp Clairon", {&trompette8, &clairon4, &montre8, &prestant4}});
    p.push_back({120,
                 "Gt Grand choeur",
                 {&trompette8, &clairon4, &bourdon16, &montre8, &prestant4, &doublette2}});
    p.push_back(
        {121, "Gt Grand jeu", {&trompette8, &montre8, &bourdon8, &prestant4, &nasard, &tierce}});
    p.push_back({122,
                 "Gt Bombarde Pl jeu",
                 {&bombarde16, &trompette8, &montre8, &prestant4, &doublette2, &fourniture}});
    p.push_back(
        {123, "Gt Anches 16 8 4", {&bombarde16, &trompette8, &clairon4, &montre8, &fluteHarm8}});
    return p;
}

} // namespace

const std::vector<OrganProgram>& organPrograms() {
    static const std::vector<OrganProgram> table = makePrograms();
    return table;
}

const OrganProgram* organProgram(int program) {
    for (const OrganProgram& p : organPrograms()) {
        if (p.program == program) {
            return &p;
        }
    }
    return nullptr;
}

std::vector<const OrganStop*> stopsOfPrograms(int first, int last) {
    std::vector<const OrganStop*> found;
    for (const OrganStop* stop : organStops()) {
        for (const OrganProgram& p : organPrograms()) {
            if (p.program >= first && p.program <= last &&
                std::find(p.stops.begin(), p.stops.end(), stop) != p.stops.end()) {
                found.push_back(stop);
                break;
            }
        }
    }
    return found;
}

std::string registrationName(int program) {
    const OrganProgram* p = organProgram(program);
    if (p == nullptr) {
        return "program " + std::to_string(program);
    }
    std::string names;
    for (const OrganStop* s : p->stops) {
        names += (names.empty() ? "" : ", ") + std::string(s->name);
    }
    return names;
}
