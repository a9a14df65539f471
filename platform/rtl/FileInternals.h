// Helpers the run-time's own file code shares; not for use outside platform/rtl.
#pragma once

// The process's file-creation mask, read without changing it (other threads may be creating files).
unsigned CurrentUmask();
