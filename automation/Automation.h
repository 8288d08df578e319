// The suite's automation layer over the CAD application and the workbook, in one include.
#pragma once

#include "automation/AttributeTable.h"
#include "automation/CadConnection.h"
#include "automation/CadHostConnector.h"
#include "automation/CadTables.h"
#include "automation/CadVariables.h"
#include "automation/CaretNames.h"
#include "automation/ComboFill.h"
#include "automation/CrossingLinks.h"
#include "automation/DrawingProperties.h"
#include "automation/InProcessCad.h"
#include "automation/LegacyDrawing.h"
#include "automation/Picking.h"
#include "automation/BlockAttributes.h"
#include "automation/Selection.h"
#include "automation/WindowSearch.h"
#include "automation/WorkbookGroups.h"
