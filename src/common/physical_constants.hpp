#pragma once
// The two values of gravity the system works with. They differ on purpose and
// are never exchanged: results, files and simulated units agree only while each
// computation keeps its own.

namespace torvane {

// m/s². Body weight from force and force from movement: force derived from
// displacement or from integrated force, the "set mass" command (mass = mean
// force / g), the force offset search, the body weight of a force-platform
// export (given in newtons), and the simulated bodies whose force and
// displacement agree (F = m (g + a)).
inline constexpr double kGravity = 9.807;

// m/s². Standard gravity, the unit of the accelerometer's readings: turning a
// reading into acceleration (and a simulated body's acceleration back into a
// reading), and force from a measured acceleration.
inline constexpr double kStandardGravity = 9.80665;

}  // namespace torvane
