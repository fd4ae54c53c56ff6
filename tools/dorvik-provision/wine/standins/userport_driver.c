/* userport_driver.c: a stand-in for the UserPort kernel driver.
 *
 * A native driver whose entry returns success and does nothing else: enough
 * for the service manager to start the "UserPort" service and report it
 * running. */
typedef long NTSTATUS;

NTSTATUS __stdcall DriverEntry(void *driver_object, void *registry_path) {
  (void)driver_object;
  (void)registry_path;
  return 0;
}
