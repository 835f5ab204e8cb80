// Factories of the point filters that map tones and colours, and of the
// camera noise reduction, gathered for the registry.
#pragma once

#include "UCF_AUTOLEVEL.h"
#include "UCF_DSCNR.h"
#include "UCF_HUESAT.h"
#include "UCF_MONO.h"
#include "UCF_SCONTRAST.h"
