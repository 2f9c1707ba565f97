// The host's plug-in interface: include this one header.
#pragma once

#include "c4d_animation.h"
#include "c4d_basedocument.h"
#include "c4d_basematerial.h"
#include "c4d_baseobject.h"
#include "c4d_baseselect.h"
#include "c4d_basetag.h"
#include "c4d_gedata.h"
#include "c4d_hair.h"
#include "c4d_math.h"
#include "c4d_memory.h"
#include "c4d_plugin.h"
#include "c4d_string.h"
#include "c4d_types.h"
