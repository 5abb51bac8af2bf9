#pragma once

// The application icon as the window system holds it; each back end defines it.
class CIcon;

// The program's icon in every size it carries, from the named resource; made once and kept
// for the program's life.
const CIcon* LoadIconResource(const char* name);
