#pragma once

// The line rate as the kernel holds it, also for rates without a speed constant.
unsigned lineRate(int fd);
