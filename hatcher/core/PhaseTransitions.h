// Phase-transition arrows between the phase pictures of one intersection: references of the dynamic
// block "dyn_przejscie_fazowe" stretched from one picture to another, with the attributes
// SKRZYZOWANIE (the intersection) and OPIS ("PF k-l"), which conflictor reads to build phase sets.
#pragma once

#include "hatcher/core/HatcherForm.h"

#include "platform/cad/Entity.h"

namespace hatcher {

inline constexpr const char* TransitionBlockName = "dyn_przejscie_fazowe";
inline constexpr const char* TransitionLayerName = "SCHEMAT_PRZEJCIA_FAZOWE";

// Intersection number and phase of a picture name "Schemat_<nr>_Faza<k>_<n>".
bool PobierzNrSkrzyzFaze(const QString& blockName, QString& nr, int& phase);
// One arrow from the picture of phase k to that of phase l.
void InsertPhaseTransition(HatcherForm& form, const cad::Entity& pictureK, const cad::Entity& pictureL,
                           const QString& nr, int k, int l);
// Erases every transition of the intersection.
void RemovePrzejscia(const QString& nr);
// True when the intersection already has the transition "PF k-l".
bool TransitionExists(const QString& nr, int k, int l);

// The commands of the main window.
void cmdConnect_Click(HatcherForm& form);
void cmdConnectAll_Click(HatcherForm& form);
void cmdAtrrsAngle_Click(HatcherForm& form);

}  // namespace hatcher
