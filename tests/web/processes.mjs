// Every browser, driver and X server a test starts leads a process group of its own. Each
// group's id is written to the file CROWDFIRE_PROCESS_GROUPS names (scripts/test.sh gives
// one), so that whatever a crashed or hung test leaves is ended after it, group by group.
import { appendFileSync } from 'node:fs';

export function trackProcessGroup(pid) {
  if (process.env.CROWDFIRE_PROCESS_GROUPS && pid) appendFileSync(process.env.CROWDFIRE_PROCESS_GROUPS, `${pid}\n`);
}
