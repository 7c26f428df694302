#include "ui/quorvel_app.h"

// Exactly one application object exists, made when the program loads.
CQuorvelApp theApp;
