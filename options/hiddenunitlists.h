#pragma once

#include "catalogue/rubric.h"

namespace quantaro {

class SettingsStore;

/**
 * Rewrites every category's hidden-unit list ("NonAffichage\" + code) from the hidden flags of a
 * catalogue: each key is deleted, then "Item0", "Item1", ... name the hidden units in the order of
 * the category's units and "Count" says how many there are. A category without units keeps no key.
 *
 * A catalogue without a single unit (its load failed) writes nothing: it says nothing about what
 * the user wants hidden, and rewriting from it would wipe every stored list. All lists are written
 * in one write of the settings; false when it failed, and then every stored list is as it was.
 */
bool writeHiddenUnitLists(const Catalogue& catalogue, SettingsStore& store);

} // namespace quantaro
