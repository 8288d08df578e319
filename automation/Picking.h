// Asking the user for a point or an entity in the CAD, the last point entered, and sending a
// command that must have ended before the caller goes on.
#pragma once

#include "common/Geometry.h"
#include "platform/cad/Entity.h"

#include <QString>

namespace automation {

// The point the user picks; X = 1E+30, Y = 0 when the pick is cancelled or fails. A lost CAD host
// is no cancel: cad::ConnectionLost is thrown.
common::PlanePoint PickPoint(const QString& prompt);
// The point at which the user picked an entity, with the entity; the sentinel (and `entity`
// unchanged) on cancel or a pick in empty space. A lost CAD host throws cad::ConnectionLost.
common::PlanePoint PickEntity(const QString& prompt, cad::Entity& entity);
// The CAD's LASTPOINT.
common::PlanePoint GetLastPoint();

// Sends the command text and serves the event loop until the CAD is idle again (ended or
// cancelled). True when it ended without a cancel mark in the last prompt; false on a cancel or
// when `timeoutMs` (negative: none) ran out first.
bool SendCommandAndWait(const QString& commandText, int timeoutMs = -1);

}  // namespace automation
