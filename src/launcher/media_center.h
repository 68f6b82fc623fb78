#pragma once

// Opens the Media Center shell again, so that a launcher started from Media
// Center hands back to it. Does not wait, and reports nothing.
void StartMediaCenter();
