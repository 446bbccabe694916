#pragma once

#include "app/resourcesource.h"

class QWidget;

namespace quantaro {

struct DialogTemplate;

/**
 * Re-lays out an open window from dialog template templateId of the resource source (the
 * process-wide one unless given): every control with a matching id is moved to the item's
 * rectangle (converted to the window's current size), all moves applied together; push buttons
 * and static texts take the template's caption, static pictures its picture; list and combo boxes
 * keep their selection in view. A missing template changes nothing; no control is created or
 * destroyed.
 */
void RelayoutFromTemplate(QWidget* window, int templateId, const ResourceSource* source = nullptr);
/** The same from a template already read; with geometryOnly, controls are only moved and resized. */
void relayoutFromParsedTemplate(QWidget* window, const DialogTemplate& dialogTemplate, const ResourceSource& source,
                                bool geometryOnly = false);

} // namespace quantaro
