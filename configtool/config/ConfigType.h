#pragma once

// Which env.ini a page loads from: the user's copy or the shipped defaults.
enum CON_TPYE {
    CON_CURRENT = 0,
    CON_DEFAULT = 1,
};
