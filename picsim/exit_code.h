#pragma once

// voxcel-picsim's exit status, as its --help describes it.
enum ExitCode { AllGood = 0, Faulty = 1, Failed = 2 };
