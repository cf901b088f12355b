#pragma once
// The help links are the module ContextIDs; screens that name them by this older name
// reach the same object.

#include "framework/ContextIDs.h"

using HelpLinks = ContextIDs;
