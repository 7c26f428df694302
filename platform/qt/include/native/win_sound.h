#pragma once

// Nothing to add.
